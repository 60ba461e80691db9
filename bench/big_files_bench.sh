#!/usr/bin/env bash
# Peak memory of a build over files far bigger than the text one document may give: six 1 GiB
# Russian texts (hard links to one file), a 300 MB page, a 1 GiB sparse file and a mailbox with
# one 500 MB message. Needs about 1.9 GB of disk in WORK_DIR.
# usage: bench/big_files_bench.sh [BUILD_DIR] [WORK_DIR]
# Prints: wall time, peak RSS of the build, how many texts were cut, and the errors line.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
work=${2:-/tmp/zyl-big-bench}
zyl=$build/src/app/zyl
rm -rf "$work"
mkdir -p "$work/docs" "$work/mail" "$work/home"
export ZYL_HOME=$work/home
python3 - "$work" <<'PY'
import os, sys
work = sys.argv[1]
line = "Отчёт о работе отдела за прошлый год, таблицы и выводы. ".encode("cp1251")
block = line * (4 * 1024 * 1024 // len(line))
with open(f"{work}/docs/huge.txt", "wb") as f:
    for _ in range(256): f.write(block)
for i in range(1, 6):
    os.link(f"{work}/docs/huge.txt", f"{work}/docs/huge{i}.txt")
para = b"<p>word after word, line after line of a very long page</p>\n"
block = para * (4 * 1024 * 1024 // len(para))
with open(f"{work}/docs/huge.htm", "wb") as f:
    f.write(b"<html><head><title>Big</title></head><body>")
    for _ in range(75): f.write(block)
    f.write(b"</body></html>")
with open(f"{work}/docs/sparse.txt", "wb") as f:
    f.truncate(1 << 30)
with open(f"{work}/mail/Inbox", "wb") as f:
    f.write(b"From - Mon Dec  2 10:20:30 2002\r\nSubject: Big\r\nMessage-ID: <1@x>\r\n"
            b"Content-Type: text/plain; charset=windows-1251\r\n\r\n")
    body = b"line of a very long attachment\r\n" * (4 * 1024 * 1024 // 32)
    for _ in range(125): f.write(body)
    f.write(b"From - Tue Dec  3 10:20:30 2002\r\nSubject: Small\r\nMessage-ID: <2@x>\r\n"
            b"Content-Type: text/plain; charset=windows-1251\r\n\r\nsmall\r\n")
open(f"{work}/mail/popstate.dat", "w").close()
PY
"$zyl" --help > /dev/null 2>&1 || true  # seeds the program folder
sed -i "s|^NetscapeFolders=.*|NetscapeFolders=$work/mail\r|" "$ZYL_HOME/config.ini"
/usr/bin/time -f "%e %M" -o "$work/time.txt" \
  "$zyl" action=build index=Big "folders=$work/docs" types=txt,html,mail_moz > "$work/build.log" 2>&1
read -r secs rss < "$work/time.txt"
echo "build: ${secs} s, peak RSS $((rss / 1024)) MB"
echo "texts cut: $(grep -c 'обрезан' "$work/build.log")"
grep -E '^(Ошибок|Обработано)' "$work/build.log"
