#!/usr/bin/env bash
# Redraws the pilot's guide's pictures into docs/guide/pictures/ from the guide's scenarios,
# replacing what is there; --help tells the options.
set -euo pipefail

usage() {
  cat <<'USAGE'
usage: regenerate-guide.sh [BUILD_DIR]

Builds panelhost and redraws the pictures of the pilot's guide, docs/guide/pictures/*.png,
from docs/guide/gps.scenario and docs/guide/dme.scenario, replacing the files there.

  BUILD_DIR   the build folder, relative to the project root (default: build)
  -h, --help  show this text and exit
USAGE
}

source "$(dirname "$0")/lib/build-folder-argument.sh"
source "$(dirname "$0")/lib/guide-pictures.sh"
read_build_folder regenerate-guide.sh "$@"

cd "$(dirname "$0")/.."
cmake -S . -B "$build" >/dev/null
cmake --build "$build" --target panelhost -j2
rm -f docs/guide/pictures/*.png
draw_guide_pictures "$build/host/app/panelhost" docs/guide docs/guide/pictures
echo "rewrote docs/guide/pictures ($(ls docs/guide/pictures | wc -l) pictures)"
