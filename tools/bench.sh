#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs them; prints one line per target:
#   NAME MEASURED <= TARGET met      (or >=, or MISSED)
# Exit status 1 when a target is missed. Usage: tools/bench.sh [BUILD_DIR]  (default: build-bench)
set -euo pipefail
case ${1:-} in
  -h|--help) sed -n '2,5p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  -*) echo "usage: tools/bench.sh [BUILD_DIR]" >&2; exit 2 ;;
esac
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
build=${1:-build-bench}
# The bridge's target flies the .gau files: the Windows build comes first.
PANEL_JOBS=$(nproc) bash tools/build-windows.sh build-win >/dev/null
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DPANEL_WINDOWS_BUILD_DIR="$PWD/build-win" >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null
status=0
while read -r program; do
  [ -n "$program" ] || continue
  out=$("$build/bench/$program" --benchmark_min_time=0.2 2>/dev/null) || status=1
  grep -E ' (met|MISSED)$|not measured' <<<"$out" || { echo "$program: no target reported"; status=1; }
done <"$build/bench/benchmarks.txt"
# The browser server under 50 misbehaving clients for 30 s while the panel flies.
"$build/bench/serve_soak" 30 2>/dev/null | tail -2 || status=1
exit $status
