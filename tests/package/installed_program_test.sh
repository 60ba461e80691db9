#!/usr/bin/env bash
# Builds the Debian package from the build folder, unpacks it under a temporary root and uses the
# program from there as a person who installed it would: no ZYL_HOME, a fresh home folder.
# Checks the package's dependencies and contents, that the program seeds its folder from the
# installed defaults, builds and searches an index, and that the usage, the man page and the
# shell completion agree on every action, variable and type code.
#
# usage: installed_program_test.sh BUILD_DIR [CPACK]
set -euo pipefail

build=$(cd "$1" && pwd)
cpack=${2:-cpack}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# --- the package ---------------------------------------------------------------------------
(cd "$build" && "$cpack" -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log" >&2
  echo "FAIL: cpack did not build the package" >&2
  exit 1
}
deb=$(ls "$work"/pkg/zyl_*.deb)

depends=$(dpkg-deb -f "$deb" Depends)
# The libraries the program links, as dpkg-shlibdeps names them.
for lib in libsqlite3-0 libqt6core6 libqt6network6 libicu libpoppler-cpp libarchive13 libcurl \
  libgumbo libgsf libstdc++6; do
  [[ $depends == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done

contents=$(dpkg-deb -c "$deb")
for path in usr/bin/zyl usr/share/applications/zyl.desktop usr/share/metainfo/zyl.metainfo.xml \
  usr/share/icons/hicolor/scalable/apps/zyl.svg usr/share/icons/hicolor/48x48/apps/zyl.png \
  usr/share/icons/hicolor/256x256/apps/zyl.png usr/share/man/man1/zyl.1.gz \
  usr/share/bash-completion/completions/zyl usr/share/zyl/config.ini \
  usr/share/zyl/russian.lng usr/share/zyl/template.html; do
  grep -q " \./$path\$" <<<"$contents" || fail "the package lacks /$path"
done
# The system's files are not copied into every user's program folder.
grep -q '/usr/share/zyl/\(desktop\|man\|completion\)/' <<<"$contents" &&
  fail "system files under /usr/share/zyl"

root=$work/root
dpkg -x "$deb" "$root"
zyl=$root/usr/bin/zyl
share=$root/usr/share

# --- the program, run from the unpacked root ------------------------------------------------
home=$work/home
mkdir -p "$home"
run() { env -u ZYL_HOME -u XDG_DATA_HOME HOME="$home" "$zyl" "$@"; }
folder=$home/.local/share/zyl

# An administrator's edit of the installed defaults reaches a new user's program folder.
sed -i 's/^QueryRecentLenght=.*/QueryRecentLenght=7/' "$share/zyl/config.ini"
printf 'site note\n' >"$share/zyl/site-note.txt"

version=$(run --version) || fail "--version exited with $?"
[[ $version =~ ^zyl\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version printed '$version'"
[[ $(dpkg-deb -f "$deb" Version) == "${version#zyl }" ]] || fail "package and program versions differ"
usage=$(run --help) || fail "--help exited with $?"
[[ $usage == usage:* ]] || fail "--help did not print the usage on stdout"
[[ ! -e $home/.local ]] || fail "--help or --version created files"

set +e
run action=frobnicate >"$work/out" 2>"$work/err"
status=$?
set -e
[[ $status -eq 2 ]] || fail "an unknown action exited with $status"
[[ ! -s $work/out ]] || fail "an unknown action wrote to stdout"
grep -q '^usage:' "$work/err" || fail "an unknown action printed no usage on stderr"

docs=$work/docs
mkdir -p "$docs/sub"
printf 'Quarterly budget report for the board.\n' >"$docs/budget.txt"
printf 'Minutes of a meeting about nothing much.\n' >"$docs/sub/minutes.txt"
printf 'Бюджет на следующий год.\n' >"$docs/sub/byudzhet.txt"

run action=build index=Docs "folders=$docs" types=txt "desc=Test documents" >"$work/build.log" ||
  fail "action=build exited with $? ($(cat "$work/build.log"))"
[[ -f $folder/index/Docs.zyl && -f $folder/index/Docs.mdb ]] ||
  fail "the build left no index in $folder/index"
grep -q '^QueryRecentLenght=7' "$folder/config.ini" ||
  fail "the program folder was not seeded from the installed defaults"
[[ -f $folder/site-note.txt && -f $folder/english.lng && -f $folder/index.mdb ]] ||
  fail "the program folder lacks seeded files"

found=$(run action=search indexname=Docs content=budget) || fail "action=search exited with $?"
[[ $found == *"$docs/budget.txt"* && $found != *minutes* ]] ||
  fail "searching 'budget' found: $found"
found=$(run action=search indexname=Docs content=бюджет) || fail "action=search exited with $?"
[[ $found == *byudzhet.txt* && $found != *budget.txt* ]] ||
  fail "searching 'бюджет' (any letter case) found: $found"
# A query-language condition: the apostrophes keep its own double quotes in the value.
found=$(run action=search indexname=Docs SearchType=3 "content='Content LIKE \"*meeting*\"'" \
  format=json) || fail "a query-language search exited with $?"
[[ $found == *'"location":"'"$docs"'/sub/minutes.txt"'* && $found != *budget* ]] ||
  fail "the condition found: $found"
found=$(run action=search "index=$folder/index/Docs.zyl" content=nothing-like-this) ||
  fail "a search without hits exited with $?"
[[ -z $found ]] || fail "a search without hits printed: $found"

# --- usage, man page and completion agree ---------------------------------------------------
actions=$(grep -o 'action=[a-z]*' <<<"$usage" | sort -u | sed 's/action=//')
[[ $(wc -w <<<"$actions") -ge 5 ]] || fail "the usage lists the actions: $actions"
codes=$(sed -n '/^Document type codes:/,/^[^ D]/p' <<<"$usage" | sed 's/^Document type codes://' |
  grep -v '^[A-Z]' | tr -s ' \n' '\n' | sed '/^$/d')
[[ $(wc -l <<<"$codes") -ge 20 ]] || fail "the usage lists the type codes: $codes"
[[ $usage == *bind=* ]] || fail "the usage lacks bind="

man=$(zcat "$share/man/man1/zyl.1.gz")
grep -q "^\.TH ZYL 1 .*\"$version\"" <<<"$man" || fail "the man page is not of $version"
for a in $actions; do
  grep -q "^\.B action=$a\$" <<<"$man" || fail "the man page does not document action=$a"
done
for c in $codes; do
  grep -qw -- "$c" <<<"$man" || fail "the man page does not name the type code $c"
done
if command -v groff >/dev/null; then
  warnings=$(groff -k -man -ww -z -Tutf8 <<<"$man" 2>&1)
  [[ -z $warnings ]] || fail "groff warns about the man page: $warnings"
fi

# shellcheck source=/dev/null
source "$share/bash-completion/completions/zyl"
complete_line() {
  COMP_LINE=$1
  COMP_POINT=${#1}
  COMP_WORDBREAKS=$' \t\n"\'><=;|&(:'
  COMPREPLY=()
  _zyl
  printf '%s\n' "${COMPREPLY[@]}"
}
offered=$(complete_line "zyl action=")
for a in $actions; do
  grep -qx "$a" <<<"$offered" || fail "completion does not offer action=$a"
done
offered=$(complete_line "zyl action=build types=")
for c in $codes; do
  grep -qx -- "$c" <<<"$offered" || fail "completion does not offer the type code $c"
done
[[ $(complete_line "zyl action=build types=txt,pdff") == "txt,pdffull" ]] ||
  fail "completion of the second type code"
# Every variable the usage shows for an action is completed after that action.
for a in $actions; do
  vars=$(grep -A8 "zyl action=$a " <<<"$usage" | awk -v a="$a" '
    NR > 1 && /zyl / { exit } { print }' | grep -o '[A-Za-z0-9]*=' | grep -vx 'action=' | sort -u)
  offered=$(complete_line "zyl action=$a ")
  for v in $vars; do
    grep -qx -- "$v" <<<"$offered" || fail "completion does not offer $v after action=$a"
  done
done

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$share/applications/zyl.desktop" || fail "desktop-file-validate"
fi
grep -q '^Comment\[ru\]=' "$share/applications/zyl.desktop" || fail "no Russian comment"
grep -q '^Icon=zyl$' "$share/applications/zyl.desktop" || fail "the menu entry names no icon"
if command -v appstreamcli >/dev/null; then
  # The id is the program's plain name; the validator only advises a reverse domain name.
  report=$(appstreamcli validate --no-net "$share/metainfo/zyl.metainfo.xml" 2>&1 || true)
  grep -E '^(E|W):' <<<"$report" | grep -v 'cid-desktopapp-is-not-rdns' &&
    fail "appstreamcli: $report"
fi

if [[ $failures -ne 0 ]]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "installed program: all checks passed"
