#!/usr/bin/env bash
# The big benchmark: a generated corpus of prose (by default 40,000 text and HTML files, about
# 500 MB, English and Russian, with rare and common words), indexed and searched the way a
# person uses the program.
#
# Measures the build (wall time, peak RSS), the database size against the corpus, an update
# with nothing changed, and ten kinds of query, each as a whole process (`zyl action=search`,
# median of 3) and inside the document server (wrk, 50 connections, a few seconds each: median
# latency, requests per second and the time one request costs, 1000 / requests per second).
# The targets are printed beside the figures.
#
# The corpus and the index live under WORK_DIR (in /tmp by default) and are deleted at the end,
# unless KEEP=1. CORPUS=FOLDER takes a corpus made before instead (and leaves it). It is heavy:
# run it on an otherwise idle machine, and not twice at once.
#
# usage: bench/big_corpus_bench.sh [BUILD_DIR] [WORK_DIR] [FILES] [SIZE_KB]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
work=${2:-/tmp/zyl-big-bench}
files=${3:-40000}
sizekb=${4:-14}
zyl=$build/src/app/zyl
duration=${DURATION:-4s}
port=${PORT:-18931}

server_pid=""
stop_server() {
  [[ -n $server_pid ]] || return 0
  # A server busy with a long search answers its stop signal only after it; it is not waited
  # for longer than a few seconds.
  kill "$server_pid" 2>/dev/null || true
  for _ in $(seq 30); do
    kill -0 "$server_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -9 "$server_pid" 2>/dev/null || true
  wait "$server_pid" 2>/dev/null || true
  server_pid=""
}
cleanup() {
  stop_server
  if [[ ${KEEP:-0} != 1 ]]; then rm -rf "$work"; fi
}
trap cleanup EXIT
rm -rf "$work"
mkdir -p "$work"
export ZYL_HOME=$work/home

echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at the start"
folder=${CORPUS:-$work/corpus}
if [[ -z ${CORPUS:-} ]]; then
  python3 "$root/bench/make_corpus.py" "$folder" --files "$files" --size-kb "$sizekb" --rare \
    --prose > /dev/null
fi
corpus=$(du -sb "$folder" | cut -f1)
echo "corpus: $(find "$folder" -type f | wc -l) files, $((corpus / 1000000)) MB"

/usr/bin/time -f "%e %M %U %S" -o "$work/time.txt" \
  "$zyl" action=build index=Big "folders=$folder" types=txt,html > "$work/build.log" 2>&1
read -r build_secs build_rss build_user build_sys < "$work/time.txt"
db=$ZYL_HOME/index/Big.mdb
sqlite3 "$db" "PRAGMA wal_checkpoint(TRUNCATE);" > /dev/null
db_bytes=$(stat -c %s "$db")
rows=$(sqlite3 "$db" "SELECT count(*) FROM ContentIndex")
/usr/bin/time -f "%e %M" -o "$work/time.txt" \
  "$zyl" action=update "index=$ZYL_HOME/index/Big.zyl" > "$work/update.log" 2>&1
read -r update_secs update_rss < "$work/time.txt"

printf '| %-28s | %-24s | %-22s |\n' "" "measured" "target"
printf '| %-28s | %-24s | %-22s |\n' "build" "${build_secs} s, $((build_rss / 1024)) MB RSS" \
  "25 s (aim 12 s)"
printf '| %-28s | %-24s | %-22s |\n' "  processor time of it" "${build_user} s user, ${build_sys} s sys" ""
printf '| %-28s | %-24s | %-22s |\n' "database" \
  "$((db_bytes / 1000000)) MB ($(awk -v d="$db_bytes" -v c="$corpus" 'BEGIN { printf "%.2f", d / c }') x corpus)" \
  "2 x corpus"
printf '| %-28s | %-24s | %-22s |\n' "update, nothing changed" "${update_secs} s" "as before"
echo "rows: $rows"
echo

# The ten kinds of query: label, target as a whole process and in the server (ms), arguments.
queries=(
  "rare word|25|10|content=pessimistic"
  "word found nowhere|25|10|content=zzyzxqv"
  "common word|100|100|content=quarterly"
  "two words, any|25|10|content=pessimistic пессимизм|SearchType=0"
  "two words, all|25|10|content=pessimistic quarterly|SearchType=1"
  "phrase|25|10|content=в конце концов|SearchType=2"
  "Cyrillic word|25|10|content=пессимизм"
  "substring inside words|25|10|content=ssimis"
  "whole word|25|10|content=pessimistic|WholeWord=1"
  "date and type conditions|25|10|content=pessimistic|datefrom=01.01.2000|type1=1"
)

median_ms() {  # arguments of the search
  local t=()
  for _ in 1 2 3; do
    local s e
    s=$(date +%s%N)
    "$zyl" action=search indexname=Big "$@" > "$work/out.txt" 2>&1
    e=$(date +%s%N)
    t+=($(((e - s) / 1000000)))
  done
  printf '%s\n' "${t[@]}" | sort -n | sed -n 2p
}

urlencode() {
  python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1], safe=""))' "$1"
}

start_server() {
  rm -f "$work/server.log"
  "$zyl" action=server headless=1 "port=$port" bind=127.0.0.1 > "$work/server.log" 2>&1 &
  server_pid=$!
  for _ in $(seq 100); do
    grep -qs 'search page at' "$work/server.log" && break
    sleep 0.1
  done
}
have_wrk=1
command -v wrk > /dev/null || have_wrk=0

printf '| %-26s | %6s | %-14s | %-40s | %-12s |\n' "query" "rows" "whole process" \
  "in the server (wrk -c50)" "targets"
for q in "${queries[@]}"; do
  IFS='|' read -r -a f <<< "$q"
  label=${f[0]} target_process=${f[1]} target_server=${f[2]}
  args=("${f[@]:3}")
  ms=$(median_ms "${args[@]}")
  n=$(grep -c . "$work/out.txt" || true)
  served="(no wrk)"
  if [[ $have_wrk == 1 ]]; then
    query="action=findfile&indexname=Big"
    for a in "${args[@]}"; do query+="&${a%%=*}=$(urlencode "${a#*=}")"; done
    # A server of its own for each query, so that one query's backlog does not hold up the next.
    start_server
    wrk -t2 -c50 -d"$duration" --timeout 10s --latency "http://127.0.0.1:$port/?$query" \
      > "$work/wrk.txt" 2>&1 || true
    stop_server
    p50=$(awk '$1 == "50%" { print $2 }' "$work/wrk.txt")
    rps=$(awk '$1 == "Requests/sec:" { printf "%.0f", $2 }' "$work/wrk.txt")
    timeouts=$(grep -o 'timeout [0-9]*' "$work/wrk.txt" | awk '{ print $2 }' || true)
    non2xx=$(awk '/Non-2xx/ { print $NF }' "$work/wrk.txt")
    # With 50 clients on a few cores the median mostly measures the queue (50 / throughput);
    # the time one request costs the server is one second over the throughput.
    served="p50 ${p50:-?}, ${rps:-?}/s = $(awk -v r="${rps:-0}" 'BEGIN { if (r > 0) printf "%.1f", 1000 / r; else printf "?" }') ms"
    [[ -n $timeouts && $timeouts != 0 ]] && served+=", ${timeouts} t/o"
    [[ -n $non2xx ]] && served+=", ${non2xx} non-2xx"
  fi
  printf '| %-26s | %6s | %11s ms | %-40s | %4s / %3s ms |\n' "$label" "$n" "$ms" "$served" \
    "$target_process" "$target_server"
done
echo "machine: load average $(cut -d' ' -f1-3 /proc/loadavg) at the end"
