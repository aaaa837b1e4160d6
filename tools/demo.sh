#!/usr/bin/env bash
# Flies the built-in demo: installs what is missing, builds the panel host and both gauge
# modules, and runs `panelhost demo`. The pictures of every GPS page and DME mode, flight.gif
# and trace.txt land in out/ (or the folder given).
# Usage: tools/demo.sh [OUT_DIR]
set -euo pipefail
case ${1:-} in
  -h|--help) sed -n '2,5p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  -*) echo "usage: tools/demo.sh [OUT_DIR]" >&2; exit 2 ;;
esac
out=${1:-out}
case $out in /*) ;; *) out=$PWD/$out ;; esac
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake -S . -B build >/dev/null
cmake --build build -j "$(nproc)" --target panelhost
build/host/app/panelhost demo --out "$out"
