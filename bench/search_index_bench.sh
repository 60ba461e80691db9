#!/usr/bin/env bash
# Search benchmark: the same index searched with its substring index and by scanning the whole
# table (a copy of the database without the index, as an older version left it). Every search
# runs as a whole process (`zyl action=search`); the median of three runs is shown.
# Ends with the cost of filling the index, as the update of an older database pays it.
# usage: bench/search_index_bench.sh [BUILD_DIR] [WORK_DIR] [FILES] [SIZE_KB]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
work=${2:-/tmp/zyl-search-bench}
files=${3:-4000}
sizekb=${4:-12}
zyl=$build/src/app/zyl
rm -rf "$work"
mkdir -p "$work"
export ZYL_HOME=$work/home
python3 "$root/bench/make_corpus.py" "$work/corpus" --files "$files" --size-kb "$sizekb" --rare
corpus=$(du -sb "$work/corpus" | cut -f1)

/usr/bin/time -f "%e %M" -o "$work/time.txt" \
  "$zyl" action=build index=Bench "folders=$work/corpus" types=txt,html > "$work/build.log" 2>&1
read -r secs rss < "$work/time.txt"
db=$ZYL_HOME/index/Bench.mdb
sqlite3 "$db" "PRAGMA wal_checkpoint(TRUNCATE);" > /dev/null
echo "corpus: $files files, $((corpus / 1000000)) MB"
echo "build with the substring index: ${secs} s, peak RSS $((rss / 1024)) MB, database $(($(stat -c %s "$db") / 1000000)) MB"

# The scanning twin: the same rows without the index.
scan=$ZYL_HOME/index/Scan.mdb
# Copied row by row: the sqlite3 shell does not know the index's tokenizer, so it cannot drop
# the index from a copy of the file.
rm -f "$scan"
sqlite3 "$scan" "CREATE TABLE ContentIndex(id INTEGER PRIMARY KEY, title TEXT, author TEXT,
  location TEXT, type TEXT, modified TEXT, filesize INTEGER DEFAULT 0, content TEXT);
  CREATE INDEX ContentIndex_location ON ContentIndex(location, type, modified, filesize);
  ATTACH '$db' AS indexed;
  INSERT INTO ContentIndex SELECT id, title, author, location, type, modified, filesize, content
  FROM indexed.ContentIndex;"
sed "s|Bench.mdb|Scan.mdb|" "$ZYL_HOME/index/Bench.zyl" > "$ZYL_HOME/index/Scan.zyl"
echo "database without the index: $(($(stat -c %s "$scan") / 1000000)) MB"

median_ms() {  # descriptor, arguments...
  local d=$1; shift
  local t=()
  for _ in 1 2 3; do
    local s e
    s=$(date +%s%N)
    "$zyl" action=search "index=$d" "$@" > "$work/out.txt" 2>&1
    e=$(date +%s%N)
    t+=($(((e - s) / 1000000)))
  done
  printf '%s\n' "${t[@]}" | sort -n | sed -n 2p
}

run() {  # label, arguments...
  local label=$1; shift
  local a b rows rows2
  a=$(median_ms "$ZYL_HOME/index/Scan.zyl" "$@")
  rows=$(md5sum < "$work/out.txt" | cut -c1-8)
  b=$(median_ms "$ZYL_HOME/index/Bench.zyl" "$@")
  rows2=$(md5sum < "$work/out.txt" | cut -c1-8)
  local n
  n=$(grep -c . "$work/out.txt" || true)
  local same=same
  [ "$rows" = "$rows2" ] || same=DIFFERENT
  printf '| %-22s | %6s ms | %6s ms | %6s lines | output %s |\n' "$label" "$a" "$b" "$n" "$same"
}

echo "| query | scan | index | output | scan = index |"
run "rare word" content=pessimistic
run "nowhere" content=zzyzxqv
run "common word" content=budget
run "two rare, any" content="pessimistic пессимизм" SearchType=0
run "rare and common, all" content="pessimistic budget" SearchType=1
run "phrase" content="в конце концов" SearchType=2
run "Cyrillic word" content=пессимизм
run "substring" content=ssimis
run "whole word" content=pessimistic WholeWord=1
run "query language" SearchType=3 "content='Content LIKE \"*pessim*\" OR Content LIKE \"*ПЕССИМ*\"'"

# What the index costs to fill: the update gives the scanning twin its index (UpgradeIndex),
# against an update of the indexed database with nothing changed.
/usr/bin/time -f "%e %M" -o "$work/time.txt" "$zyl" action=update "index=$ZYL_HOME/index/Bench.zyl" > /dev/null 2>&1
read -r secs rss < "$work/time.txt"
echo "update, nothing changed: ${secs} s"
/usr/bin/time -f "%e %M" -o "$work/time.txt" "$zyl" action=update "index=$ZYL_HOME/index/Scan.zyl" > "$work/upgrade.log" 2>&1
read -r secs rss < "$work/time.txt"
echo "update adding the index to the twin: ${secs} s, peak RSS $((rss / 1024)) MB ($(grep -c 'индекс подстрок' "$work/upgrade.log") log line)"
