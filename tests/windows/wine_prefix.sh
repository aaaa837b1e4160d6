#!/usr/bin/env bash
# Creates the private 32-bit wine prefix named by WINEPREFIX, once, without dialogs (no
# display is needed for console programs), and waits until wine has settled.
set -euo pipefail
: "${WINEPREFIX:?}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot -i >/dev/null 2>&1
fi
wineserver -w
test -f "$WINEPREFIX/system.reg"
