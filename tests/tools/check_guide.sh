#!/usr/bin/env bash
# Usage: check_guide.sh pictures|html PANELHOST PROJECT_DIR
# pictures: every scenario of the pilot's guide draws, into a scratch folder, exactly the
# picture committed beside the guide, and every picture the guide shows is committed and
# drawn. html: the guide converts into one HTML file that holds each picture it shows.
set -uo pipefail
what=$1 panelhost=$2 project=$3
guide=$project/docs/guide/pilots-guide.md
pictures=$project/docs/guide/pictures
source "$project/tools/lib/guide.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

case $what in
  pictures)
    guide_draw_pictures "$panelhost" "$project/docs/guide/scenarios" "$work" || exit 1
    for drawn in "$work"/*.png; do
      name=$(basename "$drawn")
      if [ ! -f "$pictures/$name" ]; then
        fail "$name is drawn by its scenario but not committed; run tools/guide.sh"
      elif ! cmp -s "$drawn" "$pictures/$name"; then
        fail "$name differs from what its scenario draws now; run tools/guide.sh and review it"
      fi
    done
    for committed in "$pictures"/*.png; do
      [ -e "$work/$(basename "$committed")" ] || fail "$(basename "$committed") is committed but no scenario draws it"
    done
    linked=$(guide_pictures_linked "$guide")
    for link in $linked; do
      [ -f "$project/docs/guide/$link" ] || fail "the guide shows $link, which does not exist"
    done
    for committed in "$pictures"/*.png; do
      grep -qx "pictures/$(basename "$committed")" <<<"$linked" || fail "the guide never shows $(basename "$committed")"
    done
    ;;
  html)
    if ! command -v pandoc >/dev/null; then
      echo "panel-skipped: pandoc is not installed (tools/install-deps.sh installs it)"
      exit 77
    fi
    html=$work/pilots-guide.html
    guide_html "$guide" "$html" || exit 1
    grep -q 'src="pictures/' "$html" && fail "the HTML still links a picture instead of holding it"
    for link in $(guide_pictures_linked "$guide"); do
      grep -qF "$(base64 -w0 "$project/docs/guide/$link")" "$html" || fail "the HTML does not hold $link"
    done
    ;;
  *) echo "check_guide.sh: pictures or html, not $what" >&2; exit 2 ;;
esac
[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "guide $what: all checks passed"
