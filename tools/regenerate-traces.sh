#!/usr/bin/env bash
# Rewrites the golden traces (tests/trace/golden/NAME.trace) from the scripted sessions of
# host/trace/sessions, run on the native modules. Run it after a deliberate change to what a
# gauge does or to the trace format, then read the diff before committing it.
# Usage: tools/regenerate-traces.sh [BUILD_DIR]   (default: build)
set -euo pipefail
case ${1:-} in
  -h|--help) sed -n '2,6p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  -*) echo "usage: tools/regenerate-traces.sh [BUILD_DIR]" >&2; exit 2 ;;
esac
cd "$(dirname "$0")/.."
build=${1:-build}
cmake -S . -B "$build" >/dev/null
cmake --build "$build" --target panel_trace GPS_Corvane_PX40 VER2_Corvane_VX_RD22 -j "$(nproc)" >/dev/null
mkdir -p tests/trace/golden
for session in host/trace/sessions/*.session; do
  name=$(basename "$session" .session)
  case $name in
    gps_*) module=GPS_Corvane_PX40 ;;
    dme_*) module=VER2_Corvane_VX_RD22 ;;
    *) echo "$session: a session's name starts with gps_ or dme_" >&2; exit 2 ;;
  esac
  "$build/host/trace/panel_trace" "$build/modules/$module.so" "$session" "tests/trace/golden/$name.trace"
  echo "wrote tests/trace/golden/$name.trace"
done
