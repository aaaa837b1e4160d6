#!/usr/bin/env bash
# check_live.sh PANELHOST SOURCE_DIR WORK_DIR
# `panelhost live` as a pilot meets it without FlightGear: the repository's recording replayed
# headless under a script, datagrams sent to its socket, and one clear line with exit status 2
# for each kind of bad input.
set -uo pipefail
panelhost=$1 source=$2 work=$3
rm -rf "$work"; mkdir -p "$work"; cd "$work"
recording=$source/packaging/flightgear/recording-ksfo.txt
protocol=$source/packaging/flightgear/panelhost.xml
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

# --- the recording, replayed under a script -------------------------------------------------
cat > replay.scenario <<'SCRIPT'
click gps power_on
click dme power_on
wait 4s
click gps ent
expect gps nav_text text "KOAK" within 1s
expect gps distance text "12.9nm" within 1s
expect gps ground_speed text "115kt" within 1s
expect dme distance text "3.5" within 1s
expect dme speed text "110" within 1s
wait 1s
click gps outer_right
expect gps lat_degrees text "37\xB0" within 1s
wait 1s
click gps outer_right
expect gps utc_hours text "20" within 1s
click dme mode_freq
expect dme frequency text "115.80" within 1s
snapshot live-replay
wait 1s
click gps outer_left
wait 1s
click gps outer_left
expect gps page_number text "1" within 1s
# Half a minute in, the recording's direct-to; the key event goes nowhere without a server.
at 0:32
expect gps direct_to_symbol frame 1 within 1s
click gps direct_to
expect event gps_direct_to
SCRIPT
if "$panelhost" live replay.scenario --replay "$recording" --headless -o replay >replay.log 2>&1; then
  grep -q "^replaying recording-ksfo.txt  no props" replay.log || fail "replay: no status line: $(cat replay.log)"
  grep -q "^flew 1:00 of simulated time in 10[0-9][0-9] frames; 1 snapshots; 11 of 11 expectations met" replay.log \
    || fail "replay: $(cat replay.log)"
  for picture in live-replay panel; do
    head -c 8 "replay/$picture.png" | od -An -tx1 | grep -q '89 50 4e 47' || fail "replay: no $picture.png"
  done
  grep -q "^FlightGear: receiving (replaying " replay/trace.txt || fail "replay: the trace lacks the link"
  grep -q "^gps_direct_to: not sent: no property server (--fgfs-props)" replay/trace.txt \
    || fail "replay: the trace lacks the unsent direct-to"
  grep -q "^FlightGear: stale" replay/trace.txt && fail "replay: went stale before its end"
else
  fail "replay exited $?: $(cat replay.log)"
fi

# Twice as fast: the recording's minute in half a minute of the panel's time.
"$panelhost" live --replay "$recording" --rate 2 --headless -q -o fast >fast.log 2>&1 || fail "replay --rate 2: $(cat fast.log)"
frames=$(grep -c '^frame ' fast/trace.txt)
[ "$frames" -ge 538 ] && [ "$frames" -le 544 ] || fail "replay --rate 2: $frames frames, not about 540"

# --- a recording whose clock jumps: a break, not a wait of years -----------------------------
# Line 50 a billion seconds ahead (and so 51 back), line 60 past the range the clock is taken in,
# line 70 no number at all.
awk -F, 'BEGIN { OFS = "," } NR == 50 { $1 = "1e9" } NR == 60 { $1 = "1e300" } NR == 70 { $1 = "nan" }
         NR <= 100 { print }' "$recording" > jump.txt
if timeout 60 "$panelhost" live --replay jump.txt --headless -q -o jump >jump.log 2>&1; then
  frames=$(grep -c '^frame ' jump/trace.txt)
  [ "$frames" -ge 175 ] && [ "$frames" -le 185 ] || fail "clock jump: $frames frames, not about 180"
  grep -q "^jump.txt:50: the recording's clock jumps 1e+09 s ahead; the replay goes on without the gap$" jump/trace.txt \
    || fail "clock jump: the jump ahead was not noted"
  grep -q "^jump.txt:51: the recording's clock goes back 1e+09 s; the replay goes on from there$" jump/trace.txt \
    || fail "clock jump: the jump back was not noted"
  [ "$(grep -c "^jump.txt:" jump/trace.txt)" -eq 2 ] || fail "clock jump: notes besides the two jumps"
else
  fail "clock jump: exited $?: $(cat jump.log)"
fi

# --- datagrams to the socket: a second of them, then a silence ------------------------------
"$panelhost" live --listen 127.0.0.1:0 --headless --duration 4 -o socket >socket.log 2>&1 &
pid=$!
port=""
for _ in $(seq 50); do
  port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' socket.log)
  [ -n "$port" ] && break
  sleep 0.1
done
if [ -n "$port" ]; then
  head -n 10 "$recording" | while IFS= read -r line; do
    printf '%s\n' "$line" > "/dev/udp/127.0.0.1/$port"
    sleep 0.1
  done
  printf 'garbage\n' > "/dev/udp/127.0.0.1/$port"
else
  fail "socket: no listening line: $(cat socket.log)"
fi
wait $pid || fail "socket: exited $?: $(cat socket.log)"
grep -q "^FlightGear: receiving (listening on 127.0.0.1:$port)" socket/trace.txt || fail "socket: never received"
grep -q '^FlightGear: a malformed datagram (chunk elapsed-sec: "garbage" is not a finite number), ignored' socket/trace.txt \
  || fail "socket: the garbage was not noted"
grep -q "^FlightGear: stale: no datagram for 2 s; the supply drops" socket/trace.txt || fail "socket: never went stale"
[ -s socket/panel.png ] || fail "socket: no panel.png"

# --- Ctrl-C: the end of an endless recording, the break-off of a timed one ----------------------
# Either way what was flown is written; only the break-off says so with exit status 130.
interrupt() {
  local name=$1 expected_status=$2; shift 2
  "$panelhost" live --listen 127.0.0.1:0 --headless -o "$name" "$@" >"$name.log" 2>&1 &
  local pid=$!
  for _ in $(seq 50); do grep -q "^listening on" "$name.log" && break; sleep 0.1; done
  sleep 1
  kill -INT $pid
  wait $pid; local status=$?
  [ $status -eq "$expected_status" ] || fail "$name: exit $status, not $expected_status: $(cat "$name.log")"
  [ -s "$name/panel.png" ] && [ -s "$name/trace.txt" ] || fail "$name: nothing written: $(ls "$name" 2>&1)"
  [ -z "$(ls -A "$name" | grep '^\.panelhost-')" ] || fail "$name: the staging folder was left"
}
interrupt endless 0
grep -q "^flying until Ctrl-C" endless.log || fail "endless: no word of how it ends: $(cat endless.log)"
interrupt timed 130 --duration 60
grep -q "^stopped at 0:0[0-9.]* of simulated time, before the flight's end" timed.log || fail "timed: $(cat timed.log)"

# --- the window: the replay shown as `fly` shows a flight, F12 saving it ----------------------
if command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
  mkdir -p home
  exec 3>display.txt
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >xvfb.log 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do [ -s display.txt ] && break; sleep 0.1; done
  if [ -s display.txt ]; then
    DISPLAY=:$(head -1 display.txt) HOME=$PWD/home XDG_CONFIG_HOME= \
      "$panelhost" live --replay "$recording" --mute --out shots >window.log 2>&1 &
    live=$!
    window=$(DISPLAY=:$(head -1 display.txt) timeout 20 xdotool search --sync --name '^panelhost' | head -1)
    if [ -n "$window" ]; then
      sleep 2
      # A key that would fly the simulated aircraft only says that FlightGear flies it.
      DISPLAY=:$(head -1 display.txt) xdotool key --window "$window" Left F12
      for _ in $(seq 50); do [ -n "$(ls shots 2>/dev/null)" ] && break; sleep 0.1; done
      [ -n "$(ls shots 2>/dev/null)" ] && cp "shots/$(ls shots | head -1)" window.png || fail "window: F12 saved nothing"
      kill -0 $live 2>/dev/null || fail "window: panelhost ended: $(cat window.log)"
    else
      fail "window: none opened: $(cat window.log)"
    fi
    kill $live 2>/dev/null; wait $live 2>/dev/null
  else
    fail "window: no X server: $(cat xvfb.log)"
  fi
  kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null
  exec 3>&-
fi

# --- bad input: one line, exit 2 -------------------------------------------------------------
source "$(dirname "${BASH_SOURCE[0]}")/../lib/expect_error.sh"
sed 's|<binary_mode>false</binary_mode>|<binary_mode>true</binary_mode>|' "$protocol" > binary.xml
sed 's|<type>double</type><format>%.7f</format>|<type>double</type><format>%s</format>|' "$protocol" > format.xml
head -c 300 "$protocol" > cut.xml
sed 's|<node>/instrumentation/altimeter/setting-hpa</node>|<node>/instrumentation/altimeter/setting-hpa 1013\nrun exit\nset /x</node>|' \
  "$protocol" > injected.xml
printf 'wait 1s\nfly heading 90\n' > fly.scenario
printf '\n\n' > empty.txt
expect_error binary_mode "binary.xml:13: binary mode is not read" "$panelhost" live --protocol binary.xml --headless --duration 1 -q
expect_error bad_format 'format.xml:21: chunk latitude-deg: format "%s" does not print a value of type double' \
  "$panelhost" live --protocol format.xml --headless --duration 1 -q
expect_error injected_node "injected.xml:39: chunk altimeter-setting-hpa: <node> holds a space" \
  "$panelhost" live --protocol injected.xml --headless --duration 1 -q
expect_error cut_short "cut.xml:" "$panelhost" live --protocol cut.xml --headless --duration 1 -q
expect_error listen "--listen 5500: give HOST:PORT" "$panelhost" live --listen 5500 --headless --duration 1 -q
expect_error props "--fgfs-props nowhere: give HOST:PORT" "$panelhost" live --fgfs-props nowhere --headless --duration 1 -q
expect_error fly_step "fly.scenario:2: fly steps need the simulated world" \
  "$panelhost" live fly.scenario --replay "$recording" --headless -q
expect_error empty_recording "empty.txt: no recorded line" "$panelhost" live --replay empty.txt --headless -q
expect_error endless_recording "/dev/zero: cannot read (a device, not a regular file)" \
  "$panelhost" live --replay /dev/zero --headless -q
mkfifo fifo.txt  # no writer: refused, not waited for
expect_error fifo_recording "fifo.txt: cannot read (a pipe, not a regular file)" \
  timeout 20 "$panelhost" live --replay fifo.txt --headless -q
expect_error endless_protocol "/dev/zero: more than 1 MiB, too large for a protocol file" \
  "$panelhost" live --protocol /dev/zero --headless --duration 1 -q
help=$("$panelhost" live --help 2>&1) || fail "panelhost live --help"
# A duration counts from the flight's start, not from the script's end.
printf '%s\n' "$help" | grep -A1 -- '--duration' | grep -q 'after its start' \
  || fail "live --help does not say --duration counts from the start"

[ $failures -eq 0 ] && echo "all passed"
exit $((failures > 0))
