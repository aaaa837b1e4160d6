#!/usr/bin/env bash
# check_i386_probe.sh WORK_DIR: the probe that decides whether the wine tests run. Pointed at
# a loader the kernel cannot execute, or at none, a wine test is skipped (exit 77) with its
# reason on one line and its command never runs; where the loader runs, the command runs and
# its own status 77 is a failure, never a skip.
set -uo pipefail
work=$1
here=$(cd "$(dirname "$0")" && pwd)
needs=$here/../lib/needs_i386.sh
rm -rf "$work"; mkdir -p "$work"; cd "$work"
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

# expect NAME LOADER STATUS OUTPUT_PATTERN COMMAND...
expect() {
  local name=$1 loader=$2 expected=$3 pattern=$4; shift 4
  local out status
  out=$(PANEL_I386_LOADER=$loader bash "$needs" "$@" 2>&1); status=$?
  [ "$status" -eq "$expected" ] || fail "$name: exit $status, not $expected: $out"
  grep -Eq -- "$pattern" <<<"$out" || fail "$name: no /$pattern/ in: $out"
  [ "$(printf '%s\n' "$out" | wc -l)" -eq 1 ] || fail "$name: not one line: $out"
  echo "$name (exit $status): $out"
}

printf 'not a program\n' >refused-loader
chmod +x refused-loader
expect refused "$PWD/refused-loader" 77 '^panel-wine-skipped: this kernel runs no 32-bit programs' touch ran-refused
[ ! -e ran-refused ] || fail "refused: the command ran"
expect missing "$PWD/no-such-loader" 77 '^panel-wine-skipped: the 32-bit loader .*/no-such-loader is missing' touch ran-missing
[ ! -e ran-missing ] || fail "missing: the command ran"
# A loader that runs: any program that takes --version.
expect runs "$(command -v true)" 0 '^ran$' echo ran
expect own_77_fails "$(command -v true)" 1 '^own$' sh -c 'echo own; exit 77'
exit $((failures > 0))
