# The pilot's guide's pictures, drawn by panelhost from the scenarios beside the guide. Sourced
# by tools/regenerate-guide.sh and the test that the committed pictures are what they draw.
#   draw_guide_pictures PANELHOST GUIDE_DIR OUT_DIR
# flies docs/guide/gps.scenario on gps.cfg and dme.scenario on dme.cfg and leaves their
# snapshots, and nothing else, in OUT_DIR; a scenario whose expectations fail stops it (exit 1).
draw_guide_pictures() {
  local panelhost=$1 guide=$2 out=$3 flight
  mkdir -p "$out"
  for flight in gps dme; do
    rm -rf "$out/.$flight"
    "$panelhost" run "$guide/$flight.scenario" --panel "$guide/$flight.cfg" --out "$out/.$flight" -q || return 1
    mv "$out/.$flight"/*.png "$out/"
    rm -rf "$out/.$flight"
  done
}
