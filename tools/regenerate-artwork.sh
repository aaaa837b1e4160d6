#!/usr/bin/env bash
# Redraws every bitmap into resources/ (with the two resource scripts) and the contact sheet
# docs/artwork.png, replacing what is there; --help tells the options.
set -euo pipefail

usage_line="usage: regenerate-artwork.sh [BUILD_DIR]   (--help for more)"

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

build=
while [ $# -gt 0 ]; do
  case $1 in
    -h|--help) usage; exit 0 ;;
    -*) echo "regenerate-artwork.sh: unknown option $1; $usage_line" >&2; exit 2 ;;
    *)
      if [ -n "$build" ]; then
        echo "regenerate-artwork.sh: more than one build folder ($build, $1); $usage_line" >&2
        exit 2
      fi
      build=$1; shift ;;
  esac
done
build=${build:-build}

cd "$(dirname "$0")/.."
cmake -S . -B "$build" >/dev/null
cmake --build "$build" --target artwork_generator -j2
rm -f resources/gps/*.bmp resources/dme/*.bmp
"$build/tools/artwork/artwork_generator" --resources resources --sheet docs/artwork.png
echo "rewrote resources/gps, resources/dme and docs/artwork.png"
