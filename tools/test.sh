#!/usr/bin/env bash
# Builds everything and runs every test: the native build, then the same suite under
# AddressSanitizer and UndefinedBehaviorSanitizer. Installs what is missing first.
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

echo "== native build"
run_suite build
echo "== sanitizer build"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite build-sanitize -DPANEL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
