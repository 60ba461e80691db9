#!/usr/bin/env bash
# Memory of a search whose word is in nearly every document: the peak resident size of the
# whole `zyl action=search` process (TSV output, which shows no texts, and JSON, which reads
# every found text once), with the corpus size for scale. Result rows hold where a document's
# text is, not the text, so the peak should stay near the size of a search that finds little.
# usage: bench/result_memory.sh [BUILD_DIR] [WORK_DIR] [FILES]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
work=${2:-/tmp/zyl-result-memory}
files=${3:-4000}
zyl=$build/src/app/zyl
rm -rf "$work"
mkdir -p "$work"
export ZYL_HOME=$work/home
python3 "$root/bench/make_corpus.py" "$work/corpus" --files "$files" --rare >/dev/null
"$zyl" action=build index=Bench "folders=$work/corpus" types=txt,html >"$work/build.log" 2>&1
echo "corpus: $files files, $(($(du -sb "$work/corpus" | cut -f1) / 1000000)) MB"
peak() { # label, arguments...
  local label=$1
  shift
  /usr/bin/time -f "%M" -o "$work/time.txt" "$zyl" action=search indexname=Bench "$@" >"$work/out"
  echo "$label: $(wc -l <"$work/out") lines, peak RSS $(($(<"$work/time.txt") / 1024)) MB"
}
peak "rare word, TSV" content=pessimistic
peak "common word, TSV" content=budget
peak "common word, JSON" content=budget format=json
