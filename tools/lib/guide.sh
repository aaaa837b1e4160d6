# The pilot's guide's pictures and its HTML, shared by tools/guide.sh and the guide's tests.
# Sourced. docs/guide/scenarios/NAME.scenario is flown on the panel named by its first word
# (gps-page1 on gps.cfg beside it) and drawn where it ends as NAME.png; a NAME ending in
# -night is drawn with night lighting.

# guide_draw_pictures PANELHOST SCENARIO_DIR OUT_DIR: every scenario's picture into OUT_DIR.
guide_draw_pictures() {
  local panelhost=$1 scenarios=$2 out=$3 script name panel night
  mkdir -p "$out"
  for script in "$scenarios"/*.scenario; do
    [ -e "$script" ] || { echo "guide: no scenarios in $scenarios" >&2; return 2; }
    name=$(basename "$script" .scenario)
    panel=$scenarios/${name%%-*}.cfg
    if [ ! -f "$panel" ]; then
      echo "guide: $script: no panel ${name%%-*}.cfg beside it" >&2
      return 2
    fi
    night=()
    case $name in *-night) night=(--night) ;; esac
    "$panelhost" shot -q "${night[@]}" --panel "$panel" "$script" -o "$out/$name.png" || {
      echo "guide: $script did not fly as written; no picture drawn" >&2
      return 1
    }
  done
}

# guide_pictures_linked GUIDE: the pictures the guide shows, one path a line as written.
guide_pictures_linked() {
  grep -o '](pictures/[^)]*)' "$1" | sed 's/^](//; s/)$//' | sort -u
}

# guide_html GUIDE OUT_HTML: the guide as one HTML file with its pictures inside.
guide_html() {
  local guide=$1 html=$2 embed
  # pandoc 2.19 renamed --self-contained; Debian 12 has 2.17.
  if pandoc --help | grep -q -- '--embed-resources'; then
    embed=(--embed-resources --standalone)
  else
    embed=(--self-contained)
  fi
  mkdir -p "$(dirname "$html")"
  pandoc "${embed[@]}" --resource-path="$(dirname "$guide")" \
    --metadata pagetitle="Corvane PX40 GPS and VX-RD22 DME: pilot's guide" \
    --from markdown --to html5 -o "$html" "$guide"
}
