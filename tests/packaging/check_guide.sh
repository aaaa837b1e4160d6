#!/usr/bin/env bash
# check_guide.sh PANELHOST SOURCE_DIR WORK_DIR: the pilot's guide's pictures are what its
# scenarios draw, byte for byte, and every picture the guide shows is one of them.
set -uo pipefail
panelhost=$1 source_dir=$2 work=$3
source "$source_dir/tools/lib/guide-pictures.sh"
guide=$source_dir/docs/guide
rm -rf "$work"
draw_guide_pictures "$panelhost" "$guide" "$work" || { echo "FAIL the guide's scenarios did not fly"; exit 1; }
status=0
drawn=$(cd "$work" && ls | tr '\n' ' ') kept=$(cd "$guide/pictures" && ls | tr '\n' ' ')
[ "$drawn" = "$kept" ] || { echo "FAIL the scenarios draw: $drawn; the guide keeps: $kept"; status=1; }
for picture in "$work"/*.png; do
  cmp -s "$picture" "$guide/pictures/$(basename "$picture")" ||
    { echo "FAIL $(basename "$picture") differs: run tools/regenerate-guide.sh"; status=1; }
done
for shown in $(grep -o 'pictures/[A-Za-z0-9_-]*\.png' "$guide/pilots-guide.md" | sort -u); do
  [ -f "$guide/$shown" ] || { echo "FAIL the guide shows $shown, which no scenario draws"; status=1; }
done
[ $status -eq 0 ] && echo "ok $(wc -w <<<"$drawn") pictures regenerate byte for byte"
exit $status
