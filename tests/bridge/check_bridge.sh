#!/usr/bin/env bash
# check_bridge.sh CHECK PANELHOST WINDOWS_BUILD WORK_DIR
# panelhost flying the real Windows modules, each in its bridge process under wine:
#   demo_identical  the demo with --windows writes every picture, the time-lapse and the trace
#                   byte for byte as it does with the native modules
#   killed          a bridge killed mid-flight: one line naming the module, a non-zero exit, no
#                   outputs, no bridge left running
#   garbage         a bridge that answers rubbish: the same
#   interrupted     Ctrl-C sent as a terminal sends it, to the whole process group: the host
#                   stops at its next update, writes what it flew, exits with 130 and leaves no
#                   bridge running
#   no_i386         on a machine that runs no 32-bit programs (the probe pointed at a loader
#                   the kernel refuses): one line saying so and how to enable them, not wine's
#                   "Exec format error"; no wine needed
set -uo pipefail
check=$1 panelhost=$2 build=$3 work=$4
rm -rf "$work"; mkdir -p "$work"; cd "$work"
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

# pids_of TEXT: the processes whose command line holds TEXT (read from /proc: no procps needed).
pids_of() {
  local entry
  for entry in /proc/[0-9]*; do
    [ "${entry#/proc/}" != "$$" ] || continue
    tr '\0' ' ' 2>/dev/null <"$entry/cmdline" | grep -qF -- "$1" && echo "${entry#/proc/}"
  done
  return 0
}

# expect_one_line NAME STATUS LOG WORDS...: a non-zero STATUS and LOG one line holding each of WORDS.
expect_one_line() {
  local name=$1 status=$2 log=$3; shift 3
  [ "$status" -ne 0 ] || fail "$name: exit 0"
  [ "$(wc -l <"$log")" -eq 1 ] || fail "$name: not one line: $(cat "$log")"
  local word
  for word in "$@"; do grep -qF -- "$word" "$log" || fail "$name: no '$word' in: $(cat "$log")"; done
  echo "$name (exit $status): $(cat "$log")"
}

case $check in
demo_identical)
  "$panelhost" demo -q --out native 2>native.log || fail "native demo: $(cat native.log)"
  # --windows alone: the Windows build panelhost was configured with.
  "$panelhost" demo -q --windows --out windows 2>windows.log || fail "windows demo: $(cat windows.log)"
  [ "$(ls native)" = "$(ls windows)" ] || fail "different files: $(ls native | tr '\n' ' ') / $(ls windows | tr '\n' ' ')"
  compared=0
  for file in native/*; do
    name=${file#native/}
    if cmp -s "$file" "windows/$name"; then compared=$((compared + 1)); else fail "$name differs"; fi
  done
  [ "$compared" -ge 17 ] || fail "only $compared files compared"
  grep -q '^gps f[0-9]* pre-update cue "sound\\x5Cbeep3.wav"' windows/trace.txt || fail "the bridge's cues are not in the trace"
  echo "$compared files identical"
  ;;
killed)
  # Modules in a folder of this test's own, so that only its bridges match.
  mkdir -p modules
  cp "$build"/modules/*.gau modules/
  # Long enough that the emulated bridges (over 100 times real time) are still flying at the kill.
  printf 'wait 3h\n' >long.scenario
  "$panelhost" run long.scenario --gauges "$work/modules" --windows --out out -q 2>killed.log &
  host=$!
  # Under way once the second bridge has come up and the flight has run a while.
  for _ in $(seq 600); do
    [ -n "$(pids_of "$work/modules/VER2_Corvane_VX_RD22.gau")" ] && break
    sleep 0.1
  done
  sleep 1
  bridge=$(pids_of "$work/modules/GPS_Corvane_PX40.gau" | head -1)
  [ -n "$bridge" ] || fail "no GPS bridge found"
  kill -9 "$bridge"
  wait "$host"; status=$?
  expect_one_line killed "$status" killed.log "GPS_Corvane_PX40.gau" "the bridge was killed by signal 9"
  [ -z "$(ls -A out 2>/dev/null | grep -v '^\.panelhost-')" ] || fail "outputs written: $(ls out)"
  sleep 0.5
  left=$(pids_of "$work/modules/")
  [ -z "$left" ] || fail "a bridge was left running: $left"
  ;;
interrupted)
  mkdir -p modules
  cp "$build"/modules/*.gau modules/
  printf 'wait 3h\n' >long.scenario
  # A session of its own, so that the signal goes to its whole process group as a terminal's does.
  setsid "$panelhost" run long.scenario --gauges "$work/modules" --windows --out out -q 2>interrupted.log &
  host=$!
  for _ in $(seq 600); do
    [ -n "$(pids_of "$work/modules/VER2_Corvane_VX_RD22.gau")" ] && break
    sleep 0.1
  done
  sleep 1
  kill -INT -- "-$host"
  wait "$host"; status=$?
  [ "$status" -eq 130 ] || fail "interrupted: exit $status: $(cat interrupted.log)"
  grep -q "^stopped at [0-9:.]* of simulated time, before the flight's end$" interrupted.log ||
    fail "interrupted: $(cat interrupted.log)"
  grep -q "^gps f[0-9]* e1 static" out/trace.txt 2>/dev/null || fail "interrupted: no trace written: $(ls -A out)"
  sleep 0.5
  left=$(pids_of "$work/modules/")
  [ -z "$left" ] || fail "interrupted: a bridge was left running: $left"
  echo "interrupted (exit $status): $(cat interrupted.log)"
  ;;
garbage)
  PANEL_BRIDGE_GARBAGE=1 "$panelhost" demo -q --windows --out out 2>garbage.log; status=$?
  expect_one_line garbage "$status" garbage.log "GPS_Corvane_PX40.gau: the bridge answered garbage"
  [ -z "$(ls -A out 2>/dev/null)" ] || fail "outputs written: $(ls -A out)"
  ;;
no_i386)
  printf 'not a program\n' >refused-loader
  chmod +x refused-loader
  PANEL_I386_LOADER=$PWD/refused-loader "$panelhost" demo -q --windows --out out 2>no_i386.log; status=$?
  expect_one_line no_i386 "$status" no_i386.log "this machine cannot run 32-bit programs" "ia32_emulation=on"
  [ -z "$(ls -A out 2>/dev/null)" ] || fail "outputs written: $(ls -A out)"
  ;;
*) echo "unknown check $check"; exit 2 ;;
esac

if [ $failures -ne 0 ]; then echo "$failures failed"; exit 1; fi
echo "all passed"
