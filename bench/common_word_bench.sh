#!/usr/bin/env bash
# A common word as a whole `zyl action=search` process: the search lists a third of the corpus,
# so what each found row costs (reading its text for the LIKE test, making the row, printing
# it) decides the time. Two common words: "quarterly", which each of its documents holds near
# the start, and "semiannual", which each of its documents holds at the very end (the case
# where a LIKE test can stop reading early gains nothing), each as a plain word and as a whole
# word. Shows processor time and elapsed time, the mean of RUNS runs (perf stat when present).
#
# SEARCH_ZYL=PATH searches with another build's program (to compare before and after) over the
# index this build made. KEEP=1 keeps the corpus and the index in WORK_DIR.
#
# usage: bench/common_word_bench.sh [BUILD_DIR] [WORK_DIR] [FILES] [SIZE_KB]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
work=${2:-/tmp/zyl-common-word}
files=${3:-8000}
sizekb=${4:-14}
runs=${RUNS:-10}
zyl=$build/src/app/zyl
search=${SEARCH_ZYL:-$zyl}
export ZYL_HOME=$work/home

if [[ ! -f $ZYL_HOME/index/Common.zyl ]]; then
  rm -rf "$work"
  mkdir -p "$work"
  python3 "$root/bench/make_corpus.py" "$work/corpus" --files "$files" --size-kb "$sizekb" \
    --rare --prose --late > /dev/null
  "$zyl" action=build index=Common "folders=$work/corpus" types=txt,html > "$work/build.log" 2>&1
fi
cleanup() { if [[ ${KEEP:-0} != 1 ]]; then rm -rf "$work"; fi; }
trap cleanup EXIT
echo "corpus: $(find "$work/corpus" -type f | wc -l) files, $(($(du -sb "$work/corpus" | cut -f1) / 1000000)) MB; program: $search"

measure() {  # label, arguments of the search
  local label=$1; shift
  local rows cpu wall
  rows=$("$search" action=search indexname=Common "$@" | wc -l)
  if command -v perf > /dev/null && perf stat -r 1 true > /dev/null 2>&1; then
    perf stat -r "$runs" -x, -e task-clock -o "$work/stat.txt" \
      "$search" action=search indexname=Common "$@" > /dev/null 2>&1
    cpu=$(awk -F, '/task-clock/ { printf "%.1f", $1 }' "$work/stat.txt")
  else
    cpu="?"
  fi
  local s e
  s=$(date +%s%N)
  for _ in $(seq "$runs"); do "$search" action=search indexname=Common "$@" > /dev/null 2>&1; done
  e=$(date +%s%N)
  wall=$(awk -v d=$((e - s)) -v n="$runs" 'BEGIN { printf "%.1f", d / n / 1e6 }')
  printf '| %-30s | %6s | %14s | %10s |\n' "$label" "$rows" "$cpu" "$wall"
}

printf '| %-30s | %6s | %14s | %10s |\n' "query" "rows" "processor, ms" "elapsed, ms"
measure "word near the start" content=quarterly
measure "whole word near the start" content=quarterly WholeWord=1
measure "word at the end" content=semiannual
measure "whole word at the end" content=semiannual WholeWord=1
measure "rare word" content=pessimistic
