#!/usr/bin/env bash
# Load check of a running document server with wrk: a search ("findfile") and a document
# download ("getfile"), each for a while with many connections, then requests per second,
# latency percentiles, errors and the server's memory before and after.
set -euo pipefail

usage() {
  cat >&2 <<'EOF'
usage: bench/server_load.sh [-t THREADS] [-c CONNECTIONS] [-d DURATION] [-T TIMEOUT]
                            [-p SERVER_PID] [-o REPORT_FILE] [-m] FINDFILE_URL GETFILE_URL

Start the server first (for example: zyl action=server headless=1 port=8080), then give
a findfile URL and a getfile URL of that server, e.g.
  bench/server_load.sh 'http://127.0.0.1:8080/?action=findfile&indexname=Demo&content=report' \
                       'http://127.0.0.1:8080/?action=getfile&indexname=Demo&location=%2Fdocs%2Fa.txt'
With -m the two URLs are loaded at the same time, each by its own wrk with CONNECTIONS
connections, e.g. a search that reads every row and one the substring index answers:
  bench/server_load.sh -m 'http://127.0.0.1:8080/?action=findfile&indexname=Demo&SearchType=3&content=title+LIKE+%27*a*%27' \
                          'http://127.0.0.1:8080/?action=findfile&indexname=Demo&content=rareword'
Defaults: -t 2 -c 50 -d 30s -T 2s (wrk's own; a reply later than that counts as a time-out).
Only servers on 127.0.0.1 are accepted. The server's process
is found through the port (ss) unless -p gives it; its resident memory (VmRSS) is read
from /proc before the first run and after each.

Errors counted: failed connects, writes and time-outs, replies that are not 200, bodies
whose length (less the links' session numbers) differs from the first reply of the same URL, and read errors that are not
the end of a reply (wrk counts every reply ended by the close of the connection, as this
server's are, as a read error; those are subtracted). Exit status 0 when there was no
error, 1 otherwise, 2 on wrong use.
EOF
  exit 2
}

threads=2 connections=50 duration=30s timeout=2s pid="" report="" mixed=0
while getopts "t:c:d:T:p:o:mh" opt; do
  case $opt in
    T) timeout=$OPTARG ;;
    m) mixed=1 ;;
    t) threads=$OPTARG ;;
    c) connections=$OPTARG ;;
    d) duration=$OPTARG ;;
    p) pid=$OPTARG ;;
    o) report=$OPTARG ;;
    *) usage ;;
  esac
done
shift $((OPTIND - 1))
[[ $# -eq 2 ]] || usage
findfile_url=$1 getfile_url=$2

local_url='^http://127\.0\.0\.1:([0-9]+)/'
for url in "$findfile_url" "$getfile_url"; do
  if [[ ! $url =~ $local_url ]]; then
    echo "server_load.sh: only http://127.0.0.1:PORT/ URLs are load-tested: $url" >&2
    exit 2
  fi
done
[[ $findfile_url =~ $local_url ]]
port=${BASH_REMATCH[1]}
command -v wrk >/dev/null || { echo "server_load.sh: wrk is not installed" >&2; exit 2; }

if [[ -z $pid ]]; then
  pid=$(ss -ltnpH "sport = :$port" 2>/dev/null | grep -o 'pid=[0-9]*' | head -n1 | cut -d= -f2 || true)
fi
if [[ -z $pid || ! -r /proc/$pid/status ]]; then
  echo "server_load.sh: no server process found on port $port; give it with -p PID" >&2
  exit 2
fi

rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status"; }
peak_kb() { awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status"; }
# The server's processor time so far (user + system), in clock ticks. The machine may be busy
# with other work, which stretches the latencies; this figure is what the server itself spent.
cpu_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$pid/stat"; }
cpu_note() { # ticks at the start, replies
  local used=$(($(cpu_ticks) - $1)) hz
  hz=$(getconf CLK_TCK)
  awk -v t="$used" -v hz="$hz" -v n="$2" -v l="$(cut -d' ' -f1 /proc/loadavg)" \
    'BEGIN { printf "  server CPU %.2f s, %.2f ms a reply; load average %s\n", t / hz, n ? 1000 * t / hz / n : 0, l }'
}

lua=$(mktemp --suffix=.lua)
trap 'rm -f "$lua"' EXIT
cat >"$lua" <<'EOF'
-- Checks every reply and prints one summary line that the shell part reads.
local threads = {}
function setup(thread) table.insert(threads, thread) end
function init(args) bad_status = 0; bad_body = 0; expected = nil end
function response(status, headers, body)
  if status ~= 200 then bad_status = bad_status + 1 end
  -- Result pages give every link a random session number; only the rest must not change.
  local length = #(body:gsub("session=%d+", "session="))
  if expected == nil then expected = length
  elseif length ~= expected then bad_body = bad_body + 1 end
end
function done(summary, latency, requests)
  local status, body = 0, 0
  for _, t in ipairs(threads) do
    status = status + t:get("bad_status"); body = body + t:get("bad_body")
  end
  local e = summary.errors
  io.write(string.format(
    "RESULT requests=%d seconds=%.2f connect=%d read=%d write=%d timeout=%d status=%d body=%d " ..
    "p50=%.2f p75=%.2f p90=%.2f p99=%.2f max=%.2f\n",
    summary.requests, summary.duration / 1e6, e.connect, e.read, e.write, e.timeout, status, body,
    latency:percentile(50) / 1000, latency:percentile(75) / 1000, latency:percentile(90) / 1000,
    latency:percentile(99) / 1000, latency.max / 1000))
end
EOF

total_errors=0
out() { if [[ -n $report ]]; then echo "$*" | tee -a "$report"; else echo "$*"; fi; }

# Runs wrk on a URL and writes its summary line to a file.
load() { # url file
  local raw
  raw=$(wrk -t"$threads" -c"$connections" -d"$duration" --timeout "$timeout" --latency -s "$lua" "$1")
  grep '^RESULT ' <<<"$raw" >"$2" || { echo "$raw" >&2; return 1; }
}

# Prints what one run gave and adds its errors to the total.
summarise() { # name url file
  local line
  line=$(<"$3")
  declare -A r=()
  for pair in ${line#RESULT }; do r[${pair%%=*}]=${pair#*=}; done
  # Each reply ended by the close counts as one read error in wrk; the rest are real.
  local read_errors=$((r[read] > r[requests] ? r[read] - r[requests] : 0))
  local errors=$((r[connect] + read_errors + r[write] + r[timeout] + r[status] + r[body]))
  replies=$((replies + r[requests]))
  total_errors=$((total_errors + errors))
  local rps
  rps=$(awk -v n="${r[requests]}" -v s="${r[seconds]}" 'BEGIN { printf "%.1f", n / s }')
  out "$1: $2"
  out "  requests ${r[requests]} in ${r[seconds]} s: $rps requests/s"
  out "  latency ms: p50 ${r[p50]}  p75 ${r[p75]}  p90 ${r[p90]}  p99 ${r[p99]}  max ${r[max]}"
  out "  errors $errors (connect ${r[connect]}, read $read_errors, write ${r[write]}," \
    "timeout ${r[timeout]}, not 200 ${r[status]}, body length ${r[body]})"
}

first=$(mktemp) second=$(mktemp)
trap 'rm -f "$lua" "$first" "$second"' EXIT
out "server_load $(date -Iseconds): pid $pid, wrk -t$threads -c$connections -d$duration" \
  "--timeout $timeout --latency$([[ $mixed == 1 ]] && echo ', both URLs at once')"
out "server RSS at start: $(rss_kb) kB"
replies=0
if [[ $mixed == 1 ]]; then
  start=$(cpu_ticks)
  load "$findfile_url" "$first" &
  one=$!
  load "$getfile_url" "$second" &
  two=$!
  wait $one && wait $two || exit 1
  summarise first "$findfile_url" "$first"
  summarise second "$getfile_url" "$second"
  out "$(cpu_note "$start" "$replies")"
  out "  server RSS after: $(rss_kb) kB (peak $(peak_kb) kB)"
else
  for name in findfile getfile; do
    url=$findfile_url
    [[ $name == getfile ]] && url=$getfile_url
    start=$(cpu_ticks) replies=0
    load "$url" "$first" || exit 1
    summarise "$name" "$url" "$first"
    out "$(cpu_note "$start" "$replies")"
    out "  server RSS after: $(rss_kb) kB (peak $(peak_kb) kB)"
  done
fi
[[ $total_errors -eq 0 ]]
