# What the checks of `panelhost fly` under an X server share; sourced, with $diff_tool set and
# fail() defined by the check.

# start_virtual_display: an Xvfb of its own (it picks a free number and tells it), as DISPLAY,
# with HOME in the work folder; stops the check when none starts. Sets $xvfb and $windowed_asan
# (in the sanitizer build the GL driver behind SDL's renderer and D-Bus keep allocations until
# the process ends, which the leak checker would report as ours).
start_virtual_display() {
  exec 3>display.txt
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >xvfb.log 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do [ -s display.txt ] && break; sleep 0.1; done
  [ -s display.txt ] || { echo "FAIL no X server: $(cat xvfb.log)"; kill $xvfb; exit 1; }
  export DISPLAY=:$(head -1 display.txt) HOME=$PWD/home XDG_CONFIG_HOME=
  windowed_asan=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0
}

# find_window TITLE_REGEX: the id of panelhost's window of that title, once it has stayed the same
# for half a second (SDL may make a window again for its renderer, under the same title, so the
# first one seen can be gone a moment later); empty after 20 s without one.
find_window() {
  local id="" previous=""
  for _ in $(seq 40); do
    id=$(xdotool search --name "$1" 2>/dev/null | tail -1)
    if [ -n "$id" ] && [ "$id" = "$previous" ] && xdotool getwindowgeometry "$id" >/dev/null 2>&1; then
      echo "$id"
      return
    fi
    previous=$id
    sleep 0.5
  done
}

# shot NAME WINDOW: presses F12 in WINDOW and renames the new screenshot to NAME.png.
shot() {
  local before; before=$(ls shots 2>/dev/null | wc -l)
  xdotool key --window "$2" F12
  for _ in $(seq 50); do [ "$(ls shots 2>/dev/null | wc -l)" -gt "$before" ] && break; sleep 0.1; done
  local newest; newest=$(ls -t shots | head -1)
  [ -n "$newest" ] && mv "shots/$newest" "$1.png" || fail "F12 saved no screenshot for $1"
}

# changed A B X Y W H: whether the rectangle differs between two screenshots.
changed() { [ "$("$diff_tool" "$1.png" "$2.png" "$3" "$4" "$5" "$6")" -gt 0 ]; }

# clicks_reach_both WHERE_GPS WHERE_DME: a real click in each of the two-window panel's windows
# ($gps, $dme) switches its own gauge on, seen in screenshots of the whole panel (the GPS at
# (0,0), the DME under it at (0,162)).
clicks_reach_both() {
  shot start "$gps"
  xdotool mousemove --window "$gps" 62 121 click 1; sleep 1.5  # the GPS knob's ON half
  xdotool mousemove --window "$dme" 316 65 click 1; sleep 1.5  # the DME's ON switch
  # On a busy machine the gauges may take a few updates more to show it.
  for _ in 1 2 3 4 5 6; do
    shot both_on "$dme"
    changed start both_on 77 21 320 75 && changed start both_on 25 168 230 50 && break
    sleep 1
  done
  changed start both_on 77 21 320 75 && echo "ok a click $1 switched the GPS on" \
    || fail "a click in the GPS's window did not reach the GPS"
  changed start both_on 25 168 230 50 && echo "ok a click $2 switched the DME on" \
    || fail "a click in the DME's window did not reach the DME"
}
