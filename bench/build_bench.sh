#!/usr/bin/env bash
# Build and update benchmark of a whole index over a generated corpus.
# usage: bench/build_bench.sh [BUILD_DIR] [WORK_DIR]
# Prints: build wall time, files/s, MB/s, peak RSS; update with nothing changed; update after
# changing, adding and deleting 1% of the files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
work=${2:-/tmp/zyl-bench}
zyl=$build/src/app/zyl
rm -rf "$work"
mkdir -p "$work"
export ZYL_HOME=$work/home
python3 "$root/bench/make_corpus.py" "$work/corpus"
bytes=$(du -sb "$work/corpus" | cut -f1)
files=$(find "$work/corpus" -type f | wc -l)

measure() {  # label, command...
  local label=$1; shift
  /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" > "$work/$label.log" 2>&1
  read -r secs rss < "$work/time.txt"
  echo "$label: ${secs} s, peak RSS $((rss / 1024)) MB"
  echo "$secs" > "$work/$label.secs"
}

measure build "$zyl" action=build index=Bench "folders=$work/corpus" types=txt,html
secs=$(cat "$work/build.secs")
awk -v b="$bytes" -v f="$files" -v s="$secs" \
  'BEGIN { printf "build: %d files, %.1f MB: %.0f files/s, %.1f MB/s\n", f, b/1e6, f/s, b/1e6/s }'

measure update-unchanged "$zyl" action=update "index=$ZYL_HOME/index/Bench.zyl"

# 1% changed, 1% added, 1% deleted.
n=$((files / 100))
mapfile -t all < <(find "$work/corpus" -type f | sort)
for f in "${all[@]:0:n}"; do
  echo " changed" >> "$f"
  touch -d '+1 minute' "$f"
done
rm -f "${all[@]: -n}"
for i in $(seq 1 "$n"); do echo "new file $i budget отчет" > "$work/corpus/d00/new$i.txt"; done
measure update-1pct "$zyl" action=update "index=$ZYL_HOME/index/Bench.zyl"
echo "  rows deleted: $(grep -c 'Удаляем ссылку' "$work/update-1pct.log" || true)"
echo "  rows changed: $(grep -c 'был изменен' "$work/update-1pct.log" || true)"
echo "  rows added: $(grep -c '^Добавляем файл' "$work/update-1pct.log" || true)"
