#!/usr/bin/env bash
# Builds everything and runs every test: the 32-bit Windows modules (cross-built, then checked
# from the native suite: exports, imports, bitmaps, and every scripted session traced under
# wine against the native trace), the native build, then the same suite under
# AddressSanitizer and UndefinedBehaviorSanitizer, and last every fuzzer for a few seconds,
# failing on any crash. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
jobs=$(nproc)

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" -j "$jobs" --output-on-failure
}

echo "== 32-bit Windows build"
PANEL_JOBS=$jobs PANEL_WERROR=ON bash tools/build-windows.sh build-win
echo "== native build, with the Windows checks"
run_suite build -DPANEL_WERROR=ON -DPANEL_WINDOWS_BUILD_DIR="$PWD/build-win"
echo "== sanitizer build"
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions="$PWD/tools/lsan-suppressions.txt":print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite build-sanitize -DPANEL_WERROR=ON -DPANEL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
echo "== fuzzers, 8 seconds each (tools/fuzz.sh runs them longer)"
PANEL_JOBS=$jobs bash tools/fuzz.sh 8
