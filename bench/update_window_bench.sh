#!/usr/bin/env bash
# The update window over a large index: builds an index of a generated corpus (about 500 MB by
# default), changes 5% of the files, adds 5% new ones, and runs the update window offscreen while
# measuring how long the window thread ever waited.
# usage: bench/update_window_bench.sh [BUILD_DIR] [WORK_DIR] [FILES] [SIZE_KB]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
work=${2:-/tmp/zyl-update-bench}
files=${3:-25000}
size=${4:-20}
rm -rf "$work"
mkdir -p "$work"
export ZYL_HOME=$work/home
python3 "$root/bench/make_corpus.py" "$work/corpus" --files "$files" --size-kb "$size"
echo "corpus: $(du -sh "$work/corpus" | cut -f1), $(find "$work/corpus" -type f | wc -l) files"
"$build/src/app/zyl" action=build index=Bench "folders=$work/corpus" types=txt,html > /dev/null
# Changed files get a new time; new files are copies under new names.
find "$work/corpus" -type f | awk 'NR % 20 == 0' | while read -r f; do touch -d '+1 hour' "$f"; done
find "$work/corpus" -type f | awk 'NR % 20 == 7' | while read -r f; do cp "$f" "${f%.*}-new.${f##*.}"; done
"$build/bench/update_window_latency" "$ZYL_HOME/index/Bench.zyl"
