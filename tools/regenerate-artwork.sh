#!/usr/bin/env bash
# Redraws every bitmap into resources/ (with the two resource scripts) and the contact sheet
# docs/artwork.png. Usage: tools/regenerate-artwork.sh [build-dir]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake -S . -B "$build" >/dev/null
cmake --build "$build" --target artwork_generator -j2
rm -f resources/gps/*.bmp resources/dme/*.bmp
"$build/tools/artwork/artwork_generator" --resources resources --sheet docs/artwork.png
echo "rewrote resources/gps, resources/dme and docs/artwork.png"
