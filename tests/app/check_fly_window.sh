#!/usr/bin/env bash
# check_fly_window.sh PANELHOST PNG_REGION_DIFF WORK_DIR
# `panelhost fly` as a person uses it, under a virtual X server: real pointer clicks (xdotool) on
# the GPS power knob and the DME selector change the faces in saved screenshots, and after the
# window is resized to twice its size a click still lands on the control under the pointer.
# Picture coordinates below are the demo panel's: GPS at (7,6), DME at (25,170).
set -uo pipefail
panelhost=$1 diff_tool=$2 work=$3
rm -rf "$work"; mkdir -p "$work/home"; cd "$work"
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

source "$(dirname "$0")/../lib/window_checks.sh"
start_virtual_display
cleanup() { kill "$fly" "$xvfb" 2>/dev/null; wait 2>/dev/null; }

ASAN_OPTIONS=$windowed_asan "$panelhost" fly --out shots --mute >fly.log 2>&1 &
fly=$!
trap cleanup EXIT
window=$(find_window '^panelhost')
[ -n "$window" ] || { echo "FAIL no window: $(cat fly.log)"; exit 1; }
sleep 1

click() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep 1.5; }

shot start "$window"
click 69 127                        # the GPS knob's ON half, gauge (62,121)
shot gps_on "$window"
changed start gps_on 84 27 320 75 && echo "ok the GPS screen changed after the click on ON" \
  || fail "the GPS screen did not change after a click on its ON half"
changed start gps_on 50 176 230 50 && fail "the DME face changed after a click on the GPS"
click 333 201                       # the DME selector's FREQ position, gauge (308,31)
shot dme_freq "$window"
changed gps_on dme_freq 310 192 45 35 && echo "ok the DME selector turned" \
  || fail "the DME selector did not turn after a click on FREQ"

# Twice the size: the DME's ON switch (gauge (316,65), picture (341,235)) now lies at (682,470).
xdotool windowsize "$window" 1000 600
sleep 1.5
click 682 470
shot dme_on "$window"
changed dme_freq dme_on 50 176 230 50 && echo "ok a click in the resized window switched the DME on" \
  || fail "a click in the resized window did not reach the DME's ON switch"

xdotool key --window "$window" Escape
for _ in $(seq 50); do kill -0 "$fly" 2>/dev/null || break; sleep 0.1; done
kill -0 "$fly" 2>/dev/null && fail "Esc did not close the window"
wait "$fly"; status=$?
[ $status -eq 0 ] || fail "panelhost fly exited $status: $(cat fly.log)"
grep -q '^width 1000$' home/.config/panelhost/window.conf 2>/dev/null && echo "ok the window's size was remembered" \
  || fail "the window's size was not remembered: $(cat home/.config/panelhost/window.conf 2>&1)"

# A damaged or stale window.conf still opens the window on the 1280x1024 screen, and what is saved
# at the end is on it too; something other than a file there gets one line and is left alone.
conf=home/.config/panelhost/window.conf
# on_screen NAME: flies until the window shows, checks that it lies on the screen, closes it.
on_screen() {
  ASAN_OPTIONS=$windowed_asan "$panelhost" fly --out shots --mute >"$work/$1.log" 2>&1 &
  fly=$!
  local found; found=$(find_window '^panelhost')
  if [ -z "$found" ]; then
    fail "$1: no window: $(head -3 "$work/$1.log")"; kill "$fly" 2>/dev/null; wait "$fly" 2>/dev/null; return
  fi
  sleep 0.5
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$found")"
  [ "$X" -ge 0 ] && [ "$Y" -ge 0 ] && [ $((X + WIDTH)) -le 1280 ] && [ $((Y + HEIGHT)) -le 1024 ] \
    && echo "ok $1: the window opens at $X,$Y, ${WIDTH}x$HEIGHT" || fail "$1: the window opens at $X,$Y, ${WIDTH}x$HEIGHT"
  xdotool key --window "$found" Escape
  wait "$fly"
}
saved_x() { sed -n 's/^x //p' "$conf"; }
printf 'x 3000\ny 2000\nwidth 16385\nheight 400\n' >"$conf"
on_screen "a place below and right of the screen, a width SDL refuses"
[ "$(saved_x)" -lt 1280 ] 2>/dev/null && ! grep -q '^width 16385$' "$conf" && echo "ok what is saved is on the screen" \
  || fail "saved back: $(tr '\n' ' ' <"$conf")"
printf 'x -90000\ny 10\nwidth 3000\nheight 300\n' >"$conf"
on_screen "a place far left, a width wider than the screen"
rm -f "$conf"; mkfifo "$conf"
on_screen "a named pipe for window.conf"
grep -q "window.conf: a named pipe, not a settings file" "$work/a named pipe for window.conf.log" \
  && echo "ok the pipe is named in one line" || fail "the pipe was not named: $(cat "$work/a named pipe for window.conf.log")"
[ -p "$conf" ] && echo "ok the pipe is left as it was" || fail "the pipe was written over"
rm -f "$conf"

# No display at all: one line, a non-zero exit.
out=$(DISPLAY= "$panelhost" fly --mute 2>&1); status=$?
[ $status -ne 0 ] && [ "$(printf '%s\n' "$out" | wc -l)" -eq 1 ] && echo "ok without a display: $out" \
  || fail "without a display: exit $status: $out"

[ $failures -eq 0 ] && echo "all passed"
exit $((failures > 0))
