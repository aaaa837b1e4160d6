#!/usr/bin/env bash
# Redraws every bitmap into resources/ (with the two resource scripts) and the contact sheet
# docs/artwork.png, replacing what is there; --help tells the options.
set -euo pipefail

usage() {
  cat <<'EOF'
usage: regenerate-artwork.sh [BUILD_DIR]

Builds the artwork generator and redraws every bitmap of both modules into
resources/gps/ and resources/dme/ (with their resource scripts) and the contact
sheet docs/artwork.png, replacing the files there.

  BUILD_DIR   the build folder for the generator, relative to the project root
              (default: build)
  -h, --help  show this text and exit
EOF
}

source "$(dirname "$0")/lib/build-folder-argument.sh"
read_build_folder regenerate-artwork.sh "$@"

cd "$(dirname "$0")/.."
cmake -S . -B "$build" >/dev/null
cmake --build "$build" --target artwork_generator -j2
rm -f resources/gps/*.bmp resources/dme/*.bmp
"$build/tools/artwork/artwork_generator" --resources resources --sheet docs/artwork.png
echo "rewrote resources/gps, resources/dme and docs/artwork.png"
