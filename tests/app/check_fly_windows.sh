#!/usr/bin/env bash
# check_fly_windows.sh PANELHOST PNG_REGION_DIFF WORK_DIR
# A panel.cfg of two windows under a virtual X server: each opens as a window of its own, not
# on top of the other; a real pointer click in each works its own gauge; each window's place is
# remembered for that panel file and comes back there; --stacked keeps them in one window.
# In the screenshots (the whole panel): the GPS at (0,0), the DME under it at (0,162).
set -uo pipefail
panelhost=$1 diff_tool=$2 work=$3
rm -rf "$work"; mkdir -p "$work/home"; cd "$work"
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

source "$(dirname "$0")/../lib/window_checks.sh"
start_virtual_display
fly=""
cleanup() { kill $fly "$xvfb" 2>/dev/null; wait 2>/dev/null; }
trap cleanup EXIT

printf '[Window00]\nsize_mm=485,154\ngauge00=GPS_Corvane_PX40!GPS_Corvane_PX40, 0, 0\n\n[Window01]\nsize_mm=450,91\ngauge00=VER2_Corvane_VX_RD22!VER2_Corvane_VX_RD22, 0, 0\n' >two.cfg

# start [OPTIONS]: flies two.cfg; the windows are $gps and $dme.
start() {
  ASAN_OPTIONS=$windowed_asan "$panelhost" fly --panel two.cfg --out shots --mute "$@" >fly.log 2>&1 &
  fly=$!
  gps=$(find_window '^panelhost - gps \(Window00\)')
  dme=$(find_window '^panelhost - dme \(Window01\)')
  sleep 1
}
stop() {
  xdotool key --window "$gps" Escape
  for _ in $(seq 50); do kill -0 "$fly" 2>/dev/null || break; sleep 0.1; done
  wait "$fly"; local status=$?
  [ $status -eq 0 ] || fail "panelhost fly exited $status: $(cat fly.log)"
}
geometry() { xdotool getwindowgeometry --shell "$1" | grep -E '^(X|Y|WIDTH|HEIGHT)=' | tr '\n' ' '; }

start
[ -n "$gps" ] && [ -n "$dme" ] || { echo "FAIL not two windows: $(cat fly.log)"; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$gps" | sed 's/^/G/')"
eval "$(xdotool getwindowgeometry --shell "$dme" | sed 's/^/D/')"
[ "$GWIDTH" -eq 485 ] && [ "$DWIDTH" -eq 450 ] && [ "$DY" -ge $((GY + GHEIGHT)) ] \
  && echo "ok two windows, each its window's size, the DME's under the GPS's" \
  || fail "windows: gps $(geometry "$gps"), dme $(geometry "$dme")"

clicks_reach_both "in the GPS's window" "in the DME's window"

xdotool windowmove "$dme" 700 40; sleep 0.5
stop
conf=$(ls home/.config/panelhost/window-two-*-Window01.conf 2>/dev/null)
grep -q '^x 700$' "$conf" 2>/dev/null && echo "ok the DME window's place was remembered for two.cfg" \
  || fail "the DME window's place was not remembered: $(ls home/.config/panelhost/)"

start
eval "$(xdotool getwindowgeometry --shell "$dme")"
[ "$X" -eq 700 ] && echo "ok the DME window came back to its place" || fail "the DME window opened at $(geometry "$dme")"
stop

ASAN_OPTIONS=$windowed_asan "$panelhost" fly --panel two.cfg --out shots --mute --stacked >fly.log 2>&1 &
fly=$!
one=$(timeout 20 xdotool search --sync --name '^panelhost - gps, dme$' | head -1)
[ -n "$one" ] && [ -z "$(xdotool search --name 'Window0' 2>/dev/null)" ] && echo "ok --stacked: one window" \
  || fail "--stacked did not open one window"
[ -n "$one" ] && xdotool key --window "$one" Escape
wait "$fly"

[ $failures -eq 0 ] && echo "all passed"
exit $((failures > 0))
