#!/usr/bin/env bash
# check_fly_screens.sh PANELHOST PNG_REGION_DIFF WORK_DIR
# A two-window panel.cfg on an X server with two screens side by side (Xorg's dummy driver, two
# heads of 1024x768): each window opens on the screen its settings file names, takes real
# pointer clicks there, and comes back to the same place on the next run. Skipped (77) where no
# such server can be started.
set -uo pipefail
panelhost=$1 diff_tool=$2 work=$3
rm -rf "$work"; mkdir -p "$work/home"; cd "$work"
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
source "$(dirname "$0")/../lib/window_checks.sh"

head_section() {
  printf 'Section "Monitor"\n  Identifier "%s"\n  HorizSync 5.0 - 1000.0\n  VertRefresh 5.0 - 200.0\n' "$1"
  printf '  Modeline "1024x768" 63.50 1024 1072 1176 1328 768 771 775 798 -hsync +vsync\n'
  printf '  Option "PreferredMode" "1024x768"\n  Option "Position" "%s 0"\n  Option "Enable" "true"\nEndSection\n' "$2"
}
{
  printf 'Section "Device"\n  Identifier "dummy"\n  Driver "dummy"\n  VideoRam 65536\n'
  printf '  Option "monitor-DUMMY0" "left"\n  Option "monitor-DUMMY1" "right"\nEndSection\n'
  head_section left 0
  head_section right 1024
  printf 'Section "Screen"\n  Identifier "screen"\n  Device "dummy"\n  Monitor "left"\n  DefaultDepth 24\n'
  printf '  SubSection "Display"\n    Depth 24\n    Virtual 2048 768\n  EndSubSection\nEndSection\n'
} >xorg.conf
skip() { echo "panel-skipped: $1"; exit 77; }
command -v Xorg >/dev/null || skip "no Xorg for a server with two screens (xserver-xorg-video-dummy)"
[ -e /usr/lib/xorg/modules/drivers/dummy_drv.so ] || skip "no Xorg dummy driver (xserver-xorg-video-dummy)"
exec 3>display.txt
Xorg -displayfd 3 -noreset -nolisten tcp -config "$work/xorg.conf" -logfile "$work/xorg.log" >xorg.out 2>&1 &
xorg=$!
for _ in $(seq 100); do [ -s display.txt ] && break; kill -0 $xorg 2>/dev/null || break; sleep 0.1; done
[ -s display.txt ] || skip "Xorg with the dummy driver did not start here: $(tail -1 xorg.out)"
export DISPLAY=:$(head -1 display.txt) HOME=$work/home XDG_CONFIG_HOME=
windowed_asan=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0
fly=""
cleanup() { kill $fly "$xorg" 2>/dev/null; wait 2>/dev/null; }
trap cleanup EXIT

printf '[Window00]\nsize_mm=485,154\ngauge00=GPS_Corvane_PX40!GPS_Corvane_PX40, 0, 0\n\n[Window01]\nsize_mm=450,91\ngauge00=VER2_Corvane_VX_RD22!VER2_Corvane_VX_RD22, 0, 0\n' >two.cfg
start() {
  ASAN_OPTIONS=$windowed_asan "$panelhost" fly --panel two.cfg --out shots --mute >fly.log 2>&1 &
  fly=$!
  gps=$(find_window '^panelhost - gps \(Window00\)')
  dme=$(find_window '^panelhost - dme \(Window01\)')
  [ -n "$gps" ] && [ -n "$dme" ] || { echo "FAIL not two windows: $(cat fly.log)"; exit 1; }
  sleep 1
}
stop() {
  xdotool key --window "$dme" Escape
  for _ in $(seq 50); do kill -0 "$fly" 2>/dev/null || break; sleep 0.1; done
  wait "$fly" || fail "panelhost fly exited $?: $(cat fly.log)"
}
x_of() { xdotool getwindowgeometry --shell "$1" | sed -n 's/^X=//p'; }

# The first run makes each window's settings file; then the GPS is sent to the right-hand screen.
start
stop
gps_conf=$(ls home/.config/panelhost/window-two-*-Window00.conf 2>/dev/null)
[ -n "$gps_conf" ] || { echo "FAIL no settings for the GPS window: $(ls home/.config/panelhost)"; exit 1; }
printf 'display 1\n' >"$gps_conf"

start
[ "$(x_of "$gps")" -ge 1024 ] && [ "$(x_of "$dme")" -lt 1024 ] \
  && echo "ok the GPS window on the right-hand screen, the DME's on the left" \
  || fail "the GPS window at x $(x_of "$gps"), the DME's at x $(x_of "$dme")"
clicks_reach_both "on the right-hand screen" "on the left-hand screen"
gps_x=$(x_of "$gps") dme_x=$(x_of "$dme")
stop
grep -q '^display 1$' "$gps_conf" && echo "ok the GPS window's screen was remembered" \
  || fail "the GPS window's screen was not remembered: $(tr '\n' ' ' <"$gps_conf")"

start
[ "$(x_of "$gps")" -eq "$gps_x" ] && [ "$(x_of "$dme")" -eq "$dme_x" ] && echo "ok both windows came back to their places" \
  || fail "the windows came back at x $(x_of "$gps") and $(x_of "$dme"), not $gps_x and $dme_x"
stop

[ $failures -eq 0 ] && echo "all passed"
exit $((failures > 0))
