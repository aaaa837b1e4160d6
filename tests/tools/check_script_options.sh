#!/usr/bin/env bash
# Usage: check_script_options.sh TOOLS_DIR
# The option handling of build-windows.sh, package.sh and the regenerate scripts: --help and -h print the
# usage text and exit 0; a missing value or an unknown option gives one line on stderr and
# exit 2. The scripts run from copies in a scratch project, with cmake on PATH a stand-in that
# only records its arguments: nothing is built, and a script that gets past its options by
# mistake touches only the scratch tree.
set -uo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/here" "$work/project/tools"
cp "$1/build-windows.sh" "$1/regenerate-artwork.sh" "$1/regenerate-sounds.sh" "$1/guide.sh" \
  "$1/package.sh" "$work/project/tools/"
cp -r "$1/lib" "$work/project/tools/"
tools=$work/project/tools
cat >"$work/bin/cmake" <<STUB
#!/bin/sh
echo "\$*" >>"$work/cmake.log"
STUB
chmod +x "$work/bin/cmake"
export PATH="$work/bin:$PATH"

# Each case counts once, passed or failed, however many of its checks fail.
failures=0
passes=0
failed_cases=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
count() {
  if [ "$failures" -eq "$1" ]; then passes=$((passes + 1)); else failed_cases=$((failed_cases + 1)); fi
}

# run NAME ARGS...: runs tools/NAME from $work/here; leaves status, out and err.
run() {
  local name=$1
  shift
  rm -f "$work/cmake.log"
  (cd "$work/here" && bash "$tools/$name" "$@") >"$work/out" 2>"$work/err"
  status=$?
  out=$(cat "$work/out")
  err=$(cat "$work/err")
}

expect_help() {
  local name=$1 flag=$2
  run "$name" "$flag"
  local before=$failures
  [ "$status" -eq 0 ] || fail "$name $flag: exit $status, expected 0"
  [[ $out == usage:\ $name* ]] || fail "$name $flag: no usage line first on stdout"
  [[ $out == *--help* ]] || fail "$name $flag: the help does not name --help"
  [[ $out == *"default: "* ]] || fail "$name $flag: the help names no default folder"
  [ -z "$err" ] || fail "$name $flag: wrote to stderr: $err"
  [ ! -e "$work/cmake.log" ] || fail "$name $flag: ran cmake"
  count "$before"
}

# expect_usage_error NAME WORDS ARGS...: exit 2, nothing on stdout, and one stderr line that
# holds WORDS and the usage.
expect_usage_error() {
  local name=$1 words=$2
  shift 2
  run "$name" "$@"
  local before=$failures
  [ "$status" -eq 2 ] || fail "$name $*: exit $status, expected 2"
  [ -z "$out" ] || fail "$name $*: wrote to stdout: $out"
  [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] || fail "$name $*: stderr is not one line: $err"
  [[ $err == *"$words"*usage:* ]] || fail "$name $*: stderr does not say '$words' and the usage: $err"
  [ ! -e "$work/cmake.log" ] || fail "$name $*: ran cmake"
  count "$before"
}

for flag in --help -h; do
  expect_help build-windows.sh "$flag"
  expect_help regenerate-artwork.sh "$flag"
  expect_help regenerate-sounds.sh "$flag"
  expect_help guide.sh "$flag"
  expect_help package.sh "$flag"
done
before=$failures
run build-windows.sh --help
[[ $out == *"folder the script is run from"* ]] ||
  fail "build-windows.sh --help: does not say what a relative --install DIR is relative to"
[[ $out == *"default: build-win"* ]] || fail "build-windows.sh --help: does not name its default folder"
count "$before"

expect_usage_error build-windows.sh "--install needs a folder" --install
expect_usage_error build-windows.sh "--install needs a folder" build-x --install
expect_usage_error build-windows.sh "--install needs a folder" --install ""
expect_usage_error build-windows.sh "unknown option --foo" --foo
expect_usage_error build-windows.sh "unknown option --foo" --install out --foo
expect_usage_error build-windows.sh "more than one build folder" one two
expect_usage_error regenerate-artwork.sh "unknown option --foo" --foo
expect_usage_error regenerate-artwork.sh "unknown option -x" build -x
expect_usage_error regenerate-artwork.sh "more than one build folder" one two
expect_usage_error regenerate-sounds.sh "unknown option --foo" --foo
expect_usage_error regenerate-sounds.sh "more than one build folder" one two
expect_usage_error guide.sh "unknown option --foo" --foo
expect_usage_error guide.sh "--panelhost needs a program" --panelhost
expect_usage_error guide.sh "more than one output folder" one two
expect_usage_error package.sh "unknown option --foo" --foo
expect_usage_error package.sh "more than one folder" one two

# A relative install folder is taken from where the script is run, an absolute one as it is.
before=$failures
run build-windows.sh --install out/panel build-x
[ "$status" -eq 0 ] || fail "build-windows.sh --install out/panel: exit $status: $err"
grep -qx -- "--install build-x --prefix $work/here/out/panel" "$work/cmake.log" 2>/dev/null ||
  fail "build-windows.sh --install out/panel: cmake got: $(cat "$work/cmake.log" 2>/dev/null)"
run build-windows.sh --install /opt/panel
grep -qx -- "--install build-win --prefix /opt/panel" "$work/cmake.log" 2>/dev/null ||
  fail "build-windows.sh --install /opt/panel: cmake got: $(cat "$work/cmake.log" 2>/dev/null)"
count "$before"

echo "$passes passed, $failed_cases failed"
[ "$failures" -eq 0 ]
