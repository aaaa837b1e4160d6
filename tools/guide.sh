#!/usr/bin/env bash
# Redraws the pilot's guide's pictures from its scenarios and writes the guide as one
# self-contained HTML file; --help tells the options.
set -euo pipefail

usage() {
  cat <<'TEXT'
usage: guide.sh [--panelhost PROGRAM] [OUT_DIR]

Flies every scenario of docs/guide/scenarios/ with panelhost, rewrites the pictures
of docs/guide/pictures/ that differ, and converts docs/guide/pilots-guide.md with
pandoc into OUT_DIR/pilots-guide.html, one file with every picture inside.

  OUT_DIR              where the HTML goes, relative to the folder you run from
                       (default: build/guide under the project)
  --panelhost PROGRAM  draw with this panelhost instead of building build/host/app/panelhost
  -h, --help           show this text and exit
TEXT
}

line="usage: guide.sh [--panelhost PROGRAM] [OUT_DIR]   (--help for more)"
out= panelhost=
while [ $# -gt 0 ]; do
  case $1 in
    -h|--help) usage; exit 0 ;;
    --panelhost)
      [ $# -ge 2 ] || { echo "guide.sh: --panelhost needs a program; $line" >&2; exit 2; }
      panelhost=$2; shift 2 ;;
    -*) echo "guide.sh: unknown option $1; $line" >&2; exit 2 ;;
    *)
      [ -z "$out" ] || { echo "guide.sh: more than one output folder ($out, $1); $line" >&2; exit 2; }
      out=$1; shift ;;
  esac
done
here=$PWD
absolute() { case $1 in /*) echo "$1" ;; *) echo "$here/$1" ;; esac; }
[ -z "$panelhost" ] || panelhost=$(absolute "$panelhost")
cd "$(dirname "$0")/.."
out=$(absolute "${out:-$PWD/build/guide}")
source tools/lib/guide.sh

command -v pandoc >/dev/null || bash tools/install-deps.sh
if [ -z "$panelhost" ]; then
  cmake -S . -B build >/dev/null
  cmake --build build -j2 --target panelhost
  panelhost=$PWD/build/host/app/panelhost
fi
[ -x "$panelhost" ] || { echo "guide.sh: $panelhost is not a program" >&2; exit 2; }

drawn=$(mktemp -d)
trap 'rm -rf "$drawn"' EXIT
guide_draw_pictures "$panelhost" docs/guide/scenarios "$drawn"

# Only what changed is written, so an unchanged picture keeps its file as it was.
pictures=docs/guide/pictures
mkdir -p "$pictures"
changed=0
for picture in "$drawn"/*.png; do
  name=$(basename "$picture")
  if ! cmp -s "$picture" "$pictures/$name"; then
    cp "$picture" "$pictures/$name"
    echo "rewrote $pictures/$name"
    changed=$((changed + 1))
  fi
done
for picture in "$pictures"/*.png; do
  [ -e "$drawn/$(basename "$picture")" ] || { rm "$picture"; echo "removed $picture (no scenario draws it)"; changed=$((changed + 1)); }
done
[ "$changed" -gt 0 ] || echo "the pictures are as the scenarios draw them"

guide_html docs/guide/pilots-guide.md "$out/pilots-guide.html"
echo "wrote $out/pilots-guide.html"
