#!/usr/bin/env bash
# Builds everything and runs every test: the 32-bit Windows modules (cross-built, then checked
# from the native suite: exports, imports, bitmaps, and every scripted session traced under
# wine against the native trace), the native build, then the same suite under
# AddressSanitizer and UndefinedBehaviorSanitizer, and last every fuzzer for a few seconds,
# failing on any crash. Installs what is missing first. The last lines count the tests each
# suite skipped, with their reasons (the sanitizer suite has no Windows build, so it skips the
# .gau checks), and say how the wine tests ran: natively, emulated, or skipped on a machine
# that runs no 32-bit programs. A skipped test that gives no reason fails the command.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/lib/i386-programs.sh

bash tools/install-deps.sh
jobs=$(nproc)

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" -j "$jobs" --output-on-failure | tee "$dir/ctest-output.txt"
}

# How many tests a suite skipped, and why: each skipped test prints its reason on a line of its
# own starting "panel-skipped: " (or "panel-wine-skipped: "). A skip that gives none fails the
# command, since it cannot be told from a machine that lacks something.
unexplained=0
report_skips() {
  local dir=$1 name=$2 log=$1/Testing/Temporary/LastTest.log
  local skipped told
  skipped=$(grep -c ' (Skipped)$' "$dir/ctest-output.txt" || true)
  if [ "$skipped" -eq 0 ]; then
    echo "== $name suite: no test skipped"
    return
  fi
  echo "== $name suite: $skipped tests skipped:"
  grep -h -E '^panel-(wine-)?skipped: ' "$log" | sed -E 's/^panel-(wine-)?skipped: //' | sort | uniq -c |
    sed -E 's/^ *([0-9]+) /   \1 x /'
  told=$(grep -c -E '^panel-(wine-)?skipped: ' "$log" || true)
  if [ "$told" -lt "$skipped" ]; then
    echo "== $name suite: $((skipped - told)) skipped tests gave no reason (they must print 'panel-skipped: WHY')"
    unexplained=1
  fi
}

# Each part's heading says how long the command has run, so that a slow part shows in CI's log.
part() { echo "== $1 ($((SECONDS / 60))m$((SECONDS % 60))s in)"; }

part "32-bit Windows build"
PANEL_JOBS=$jobs PANEL_WERROR=ON bash tools/build-windows.sh build-win
part "native build, with the Windows checks"
run_suite build -DPANEL_WERROR=ON -DPANEL_WINDOWS_BUILD_DIR="$PWD/build-win"
part "sanitizer build"
# Line tables are all a sanitizer's report needs (full debug information costs a sixth of the
# build), and the benchmarks, built by the native suite, are run by tools/bench.sh, not here.
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions="$PWD/tools/lsan-suppressions.txt":print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite build-sanitize -DPANEL_WERROR=ON -DPANEL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DCMAKE_C_FLAGS_DEBUG=-g1 -DPANEL_BENCHMARKS=OFF
part "fuzzers, 8 seconds each (tools/fuzz.sh runs them longer)"
PANEL_JOBS=$jobs bash tools/fuzz.sh 8

report_skips build native
report_skips build-sanitize sanitizer
# How the wine tests ran, from what each one printed into the native suite's log.
log=build/Testing/Temporary/LastTest.log
skipped=$(grep -c '^panel-wine-skipped: ' "$log" || true)
if [ "$skipped" -gt 0 ]; then
  echo "== $skipped wine tests skipped: $(grep -m 1 '^panel-wine-skipped: ' "$log" | sed 's/^panel-wine-skipped: //')"
else
  case $(i386_programs) in
    emulated) echo "== the wine tests ran under emulation ($(i386_binfmt_entry) in binfmt_misc): this kernel runs no 32-bit programs itself" ;;
    *) echo "== the wine tests ran natively" ;;
  esac
fi
exit $unexplained
