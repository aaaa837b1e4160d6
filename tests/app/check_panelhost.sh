#!/usr/bin/env bash
# check_panelhost.sh PANELHOST MODULE_DIR WORK_DIR
# The panelhost command as a user meets it: the demo's outputs, and one clear line with a
# non-zero exit (and no output presented as done) for each kind of bad input.
set -uo pipefail
panelhost=$1 modules=$2 work=$3
rm -rf "$work"; mkdir -p "$work"; cd "$work"
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

# --- the demo ---------------------------------------------------------------------------
if "$panelhost" demo --out demo -q >demo.log 2>&1; then
  for name in gps-off gps-self-test gps-startup-check gps-page1 gps-page2 gps-page3 gps-page4 gps-page5 \
              gps-alerter gps-direct-to dme-rmt dme-freq dme-gst dme-setting dme-out-of-range; do
    [ -s "demo/$name.png" ] || fail "demo: no $name.png"
    head -c 8 "demo/$name.png" | od -An -tx1 | grep -q '89 50 4e 47' || fail "demo: $name.png is no PNG"
  done
  [ -s demo/flight.gif ] || fail "demo: no flight.gif"
  [ "$(head -c 6 demo/flight.gif)" = GIF89a ] || fail "demo: flight.gif is no GIF89a"
  [ "$(stat -c %s demo/flight.gif)" -le $((5 * 1024 * 1024)) ] || fail "demo: flight.gif over 5 MB"
  grep -q '^gps element 18 ' demo/trace.txt || fail "demo: trace.txt lacks the GPS records"
  grep -q '^gps f[0-9]* pre-update cue "sound\\x5Cbeep3.wav"' demo/trace.txt || fail "demo: trace.txt lacks the capture cue"
  ls -A demo | grep -q '^\.panelhost-' && fail "demo: a staging folder was left behind"
else
  fail "demo exited $?: $(cat demo.log)"
fi

# --- bad input: one line naming the file, exit 2 ------------------------------------------
source "$(dirname "${BASH_SOURCE[0]}")/../lib/expect_error.sh"

script() { printf '%b' "$2" > "$1"; }
script unknown_step.scenario 'wait 1s\njump 3\n'
script bad_number.scenario 'fly altitude 3OOO\n'
script unknown_name.scenario 'set avionics 1\n'
script unknown_control.scenario 'click gps eject\n'
script backwards.scenario 'at 2:30\nat 1:00\n'
script unterminated.scenario 'expect gps nav_text text "PAE\n'
script unknown_gauge.scenario 'click radar power_on\n'
script wrong_type.scenario 'set waypoint_id 1\n'
expect_error unknown_step "unknown_step.scenario:2: unknown step 'jump'" "$panelhost" run unknown_step.scenario --out o1
expect_error bad_number "bad_number.scenario:1: " "$panelhost" run bad_number.scenario --out o2
expect_error unknown_name "unknown_name.scenario:1: unknown variable 'avionics'" "$panelhost" run unknown_name.scenario --out o3
expect_error unknown_control "unknown_control.scenario:1: " "$panelhost" run unknown_control.scenario --out o4
expect_error backwards "backwards.scenario:2: time goes backwards" "$panelhost" run backwards.scenario --out o5
expect_error unterminated "unterminated.scenario:1: unterminated text" "$panelhost" run unterminated.scenario --out o6
expect_error unknown_gauge "unknown_gauge.scenario:1: " "$panelhost" run unknown_gauge.scenario --out o7
expect_error wrong_type "wrong_type.scenario:1: " "$panelhost" run wrong_type.scenario --out o8
for o in o1 o2 o3 o4 o5 o6 o7 o8; do [ -e $o ] && fail "$o: a script error left an output folder"; done

# A panel whose module is missing, or broken, or lacks its bitmaps.
script ok.scenario 'wait 1s\n'
mkdir -p gauges/broken gauges/bare
printf '[Window00]\ngauge00=NO_SUCH_MODULE!NO_SUCH_GAUGE, 0, 0\n' > missing.cfg
expect_error missing_module "missing.cfg:2: module NO_SUCH_MODULE is not in" "$panelhost" run ok.scenario --panel missing.cfg --out o9
printf 'not a module\n' > gauges/broken/BROKEN.so
printf '[Window00]\ngauge00=BROKEN!BROKEN, 0, 0\n' > gauges/broken/panel.cfg
expect_error broken_module "BROKEN.so: " "$panelhost" run ok.scenario --panel gauges/broken/panel.cfg --out o10
cp "$modules/GPS_Corvane_PX40.so" gauges/bare/
printf '[Window00]\ngauge00=GPS_Corvane_PX40!GPS_Corvane_PX40, 0, 0\n' > gauges/bare/panel.cfg
expect_error missing_bitmaps "GPS_Corvane_PX40" "$panelhost" run ok.scenario --panel gauges/bare/panel.cfg --gauges gauges/bare --out o11
printf '[Window00]\ngauge00=GPS_Corvane_PX40!GPS_Corvane_PX40, zero, 0\n' > malformed.cfg
expect_error malformed_panel "malformed.cfg:2: " "$panelhost" run ok.scenario --panel malformed.cfg --out o12
# Every number within the reader's range, yet a panel far too large to draw.
printf '[Window00]\nsize_mm=100000,100000\ngauge00=GPS_Corvane_PX40!GPS_Corvane_PX40, 0, 0\n' > huge.cfg
expect_error huge_panel "huge.cfg: the panel is 100000 x 100000 pixels" "$panelhost" shot --panel huge.cfg -o huge.png

# An endless device named as a script or a panel is refused at a size, never read to the end.
expect_error endless_script "/dev/zero: more than 16 MiB, too large for a scenario" "$panelhost" run /dev/zero --out o13
expect_error endless_panel "/dev/zero: more than 1 MiB, too large for a panel.cfg" \
  "$panelhost" run ok.scenario --panel /dev/zero --out o14

# A bindings file with a bad line, or naming a control the panel lacks, stops the flight before it flies.
printf '# knobs\njoystick "Box" button 1 press "gps ent"\njoystick "Box" buttons 0 1 encoder "gps ent"\n' > knobs.cfg
expect_error bad_bindings "knobs.cfg:3: 'gps ent' is pressed, not turned" \
  "$panelhost" live --headless -q --listen 127.0.0.1:0 --controls knobs.cfg --duration 1 --out o15
expect_error missing_bindings "none.cfg: cannot read" "$panelhost" fly --controls none.cfg

# An output folder that cannot be written: a file stands where it should be.
printf 'a file\n' > taken
expect_error unwritable_output "taken: " "$panelhost" run ok.scenario --out taken
[ "$(cat taken)" = "a file" ] || fail "unwritable_output: the user's file was changed"

# A failed expectation fails the run, and says which.
script unmet.scenario 'expect gps lit_screen shown within 1s\n'
out=$("$panelhost" run unmet.scenario --out o13 -q 2>&1); status=$?
[ $status -eq 1 ] || fail "unmet: exit $status, expected 1"
case $out in *"unmet.scenario:1: expected gps lit_screen shown within 1s"*) echo "ok unmet: $out" | head -1 ;; *) fail "unmet: $out" ;; esac

# shot draws one picture, day and night.
"$panelhost" shot -o day.png >/dev/null 2>&1 && [ -s day.png ] || fail "shot: no day.png"
"$panelhost" shot --night -o night.png >/dev/null 2>&1 && [ -s night.png ] || fail "shot --night: no night.png"
cmp -s day.png night.png && fail "shot --night: the same picture as by day"
for command in "" demo run shot; do
  "$panelhost" $command --help >/dev/null 2>&1 || fail "panelhost $command --help"
done

# check: both built modules clean; a file that is no module, exit 2 with one line.
"$panelhost" check "$modules/GPS_Corvane_PX40.so" "$modules/VER2_Corvane_VX_RD22.so" >check.log 2>&1 \
  && [ ! -s check.log ] && echo "ok check: both modules clean" || fail "check: $(cat check.log)"
expect_error check_not_a_module "taken: " "$panelhost" check taken

[ $failures -eq 0 ] && echo "all passed"
exit $((failures > 0))
