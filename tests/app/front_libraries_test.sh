#!/usr/bin/env bash
# The command-line front loads only what a search needs, and reaches every other start mode
# through the modes library, which shows it nothing but its entry point.
# usage: front_libraries_test.sh ZYL LIBZYL-MODES
set -euo pipefail
zyl=$1
modes=$2
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

needed=$(readelf -d "$zyl" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
[[ $needed == *libsqlite3* ]] || fail "the front does not link SQLite: $needed"
for lib in $needed; do
  case $lib in
    libsqlite3.* | libicuuc.* | libstdc++.* | libm.* | libgcc_s.* | libc.* | ld-linux*) ;;
    *) fail "the front loads $lib at every start" ;;
  esac
done

exported=$(readelf --dyn-syms -W "$modes" | awk '$7 != "UND" && $5 == "GLOBAL" && $4 == "FUNC" { print $8 }')
grep -qx zyl_modes_main <<<"$exported" || fail "the modes library has no entry: $exported"
grep '^_ZN3zyl' <<<"$exported" && fail "the modes library shows the program's own functions"

# A mode the front does not answer runs in the modes library: an unknown action is refused
# there with the usage and status 2.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
set +e
ZYL_HOME=$home "$zyl" action=frobnicate >"$home/out" 2>"$home/err"
status=$?
set -e
[[ $status -eq 2 ]] || fail "action=frobnicate exited with $status: $(cat "$home/err")"
grep -q '^usage:' "$home/err" || fail "action=frobnicate printed no usage: $(cat "$home/err")"

if [[ $failures -ne 0 ]]; then
  exit 1
fi
echo "front: $(wc -w <<<"$needed") libraries; the modes library answers the other modes"
