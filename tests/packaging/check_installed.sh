#!/usr/bin/env bash
# check_installed.sh BUILD_DIR WORK_DIR [windows]: panelhost as a user gets it. `cmake --install`
# into a fresh prefix, that prefix moved to another folder (so that the prefix it was installed
# to is gone), and the moved program run from an empty folder with the build tree's files, the
# source tree's and the Windows build hidden under empty mounts (where mount namespaces work):
# the demo, the shipped recording replayed and `check` on the installed modules all pass, and
# their pictures are the build tree's byte for byte; with "windows", the demo flying the
# installed .gau files instead. Also what comes with the program: its version, its man page
# naming every command, its bash completion and desktop entry.
set -uo pipefail
shopt -s nullglob
build=$(cd "$1" && pwd) work=$2 mode=${3:-native}
rm -rf "$work"; mkdir -p "$work"; work=$(cd "$work" && pwd)
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$work/staged" >"$work/install.log" 2>&1 || { cat "$work/install.log"; exit 1; }
mkdir -p "$work/elsewhere"
mv "$work/staged" "$work/elsewhere/prefix"
prefix=$work/elsewhere/prefix
installed=$prefix/bin/panelhost built=$build/host/app/panelhost
mkdir -p "$work/home" "$work/run" "$work/built"
# Nothing from the user's environment, and the current folder holds no sound folder.
# (Kept: XDG_CACHE_HOME, which names the wine prefix the wine tests share, and the sanitizers'
# options of the sanitized suite.)
kept=()
for name in XDG_CACHE_HOME ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS; do
  [ -n "${!name:-}" ] && kept+=("$name=${!name}")
done
run() { (cd "$1" && shift && env -i PATH=/usr/bin:/bin HOME="$work/home" "${kept[@]}" "$@"); }

# What the installed program must not need, each hidden under an empty tmpfs in a mount namespace
# of its own: run_hidden DIR COMMAND... runs as run does, with them hidden.
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
hidden=("$build/modules" "$build/host" "$source_dir/packaging" "$source_dir/sound" "$source_dir/resources")
# The Windows build too, but not for "windows": a wine server started with it hidden outlives
# the flight and would keep it hidden from the other wine tests.
windows_build=$(sed -n 's/^windows=//p' "$build/host/app/panelhost-build-tree.txt")
[ -n "$windows_build" ] && [ "$mode" != windows ] && hidden+=("$windows_build")
hide=()
if unshare -rm true 2>/dev/null; then
  hide=(unshare -rm bash -c 'n=$1; shift
    for folder in "${@:1:n}"; do mount -t tmpfs hidden "$folder" || exit 97; done
    shift "$n"; exec "$@"' hide ${#hidden[@]} "${hidden[@]}")
  seen=$(run "$work/run" "${hide[@]}" sh -c 'test -e "$1" || echo hidden' sh "$build/modules/GPS_Corvane_PX40.so")
  [ "$seen" = hidden ] || fail "the build tree could not be hidden"
else
  echo "note: no mount namespace here: the build and source trees stay visible (the checks of the program's bytes remain)"
fi
run_hidden() { local folder=$1; shift; run "$folder" "${hide[@]}" "$@"; }

# Nothing of the build machine in the program: a RUNPATH relative to it, no build path in its data.
runpath=$(readelf -d "$installed" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
[ "$runpath" = '$ORIGIN/../lib/panelhost' ] || fail "the installed program's RUNPATH is '$runpath'"
# A sanitizer build names every source file in its reports' data, whatever the prefix maps say;
# such a build is never shipped, so only its RUNPATH and its finding of files are checked.
if readelf -d "$installed" | grep -q 'NEEDED.*libasan'; then
  echo "note: a sanitizer build names its sources for its reports: the program's data is not checked for paths"
else
  for section in .rodata .dynstr; do
    objcopy -O binary --only-section=$section "$installed" "$work/section" 2>/dev/null
    grep -qF "$build" "$work/section" && fail "the build folder is named in the program's $section"
    grep -qF "$source_dir" "$work/section" && fail "the source folder is named in the program's $section"
  done
fi
[ -e "$prefix/bin/panelhost-build-tree.txt" ] && fail "the build tree's file was installed"

# compare NAME WHAT: the pictures of run/NAME equal built/NAME's, and there are some.
compare() {
  local pictures=0 picture
  for picture in "$work/built/$1"/*.png; do
    pictures=$((pictures + 1))
    cmp -s "$picture" "$work/run/$1/$(basename "$picture")" || fail "$2: $(basename "$picture") differs from the build tree's"
  done
  [ $pictures -gt 0 ] || fail "$2: the build tree drew no pictures"
  echo "ok $2: $pictures pictures equal the build tree's"
}

if [ "$mode" = windows ]; then
  [ -e "$prefix/lib/panelhost/panel_bridge.exe" ] || fail "no bridge installed"
  run "$work/built" "$built" demo --windows -q --out windows >/dev/null 2>&1 || fail "demo --windows in the build tree"
  run_hidden "$work/run" "$installed" demo --windows -q --out windows >"$work/windows.log" 2>&1 \
    || fail "demo --windows: $(cat "$work/windows.log")"
  compare windows "demo --windows"
  exit $((failures > 0))
fi

# --- what the program does, installed ---------------------------------------------------------
run "$work/built" "$built" demo -q --out demo >/dev/null 2>&1 || fail "demo in the build tree"
run_hidden "$work/run" "$installed" demo -q --out demo >"$work/demo.log" 2>&1 || fail "demo: $(cat "$work/demo.log")"
compare demo demo

recording=$prefix/share/panelhost/flightgear/recording-ksfo.txt
run "$work/built" "$built" live --replay "$recording" --headless -q -o live >/dev/null 2>&1 || fail "live in the build tree"
run_hidden "$work/run" "$installed" live --replay "$recording" --headless -q -o live >"$work/live.log" 2>&1 \
  || fail "live --replay: $(cat "$work/live.log")"
compare live "live --replay"

if out=$(run_hidden "$work/run" "$installed" check -v "$prefix"/lib/panelhost/{GPS_Corvane_PX40,VER2_Corvane_VX_RD22}.so 2>&1); then
  [ "$(head -1 <<<"$out")" = "checked by panelhost $(run "$work/run" "$installed" --version | cut -d' ' -f2)" ] ||
    fail "check -v does not name the version first: $(head -1 <<<"$out")"
  echo "ok check of the installed modules"
else
  fail "check of the installed modules: $out"
fi

# --- what comes with it -----------------------------------------------------------------------
version=$(run "$work/run" "$installed" --version)
[[ $version =~ ^panelhost\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version says '$version'"
manual=$(MANPATH="$prefix/share/man" MANWIDTH=100 man -P cat panelhost 2>/dev/null)
commands=$(run "$work/run" "$installed" --help | awk '/^Subcommands:/ { on = 1; next } on && /^  [a-z]/ { print $1 }')
[ "$(wc -w <<<"$commands")" -ge 6 ] || fail "--help lists the commands: $commands"
for command in $commands; do
  grep -qE "^ *panelhost $command:" <<<"$manual" || fail "the man page does not show '$command'"
done
grep -qF -- "--version" <<<"$manual" || fail "the man page does not name --version"
# A command begun, and an option of it, completed as bash would.
completion_test=$(cat <<'BASH'
source /usr/share/bash-completion/bash_completion 2>/dev/null || exit 3
source "$COMPLETION"
complete_line() {
  COMP_LINE=$1 COMP_POINT=${#1}
  read -ra COMP_WORDS <<<"$1"
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  _panelhost
  echo "${COMPREPLY[*]}"
}
complete_line 'panelhost l'
complete_line 'panelhost live --re'
BASH
)
completions=$(COMPLETION="$prefix/share/bash-completion/completions/panelhost" PATH="$prefix/bin:/usr/bin:/bin" \
  bash -c "$completion_test" 2>&1)
case $? in
  0) [ "$completions" = $'live\n--replay' ] || fail "bash completion gives: $completions" ;;
  3) echo "note: no bash-completion installed: the completion was not tried" ;;
  *) fail "bash completion failed: $completions" ;;
esac
desktop=$prefix/share/applications/panelhost.desktop
grep -qx "Exec=panelhost fly" "$desktop" || fail "the desktop entry does not open panelhost fly"
grep -qx "Icon=panelhost" "$desktop" && [ -s "$prefix/share/icons/hicolor/scalable/apps/panelhost.svg" ] \
  || fail "the desktop entry's icon is not installed"
if command -v desktop-file-validate >/dev/null; then
  out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
fi
for file in README.md FLIGHTGEAR.md pilots-guide.html copyright changelog.gz; do
  [ -s "$prefix/share/doc/panelhost/$file" ] || fail "no share/doc/panelhost/$file"
done
# Every file the installed notes link to lies beside them.
for file in README.md FLIGHTGEAR.md; do
  for link in $(grep -o '](\([^)#:]*\))' "$prefix/share/doc/panelhost/$file" | sed 's/^](\(.*\))$/\1/'); do
    [ -e "$prefix/share/doc/panelhost/$link" ] || fail "share/doc/panelhost/$file links to $link, which is not installed"
  done
done

[ $failures -eq 0 ] && echo "ok installed under $prefix: $version"
exit $((failures > 0))
