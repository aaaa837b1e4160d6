#!/usr/bin/env bash
# The instruments against a real FlightGear: installs it (with Xvfb and D-Bus) when missing,
# builds panelhost, puts the shipped protocol file where FlightGear reads it, starts FlightGear
# on a virtual X server (the c172p at 3000 ft near San Francisco, the SFO DME tuned), powers
# FlightGear's GPS and sends it direct to KOAK, then runs `panelhost live --headless` with a
# script against it and checks that:
#   - the GPS shows the waypoint, its distance and the ground speed FlightGear reports,
#   - the DME shows FlightGear's distance and frequency,
#   - turning the GPS inner knob while its pressure setting is edited changes FlightGear's
#     altimeter setting (read back with `get`),
#   - selecting 116.80 on the DME tunes FlightGear's DME there, through its frequency source,
#   - D-> on the GPS sends FlightGear's GPS direct to its active waypoint again.
# Takes a few minutes (FlightGear sends its first datagrams about a minute after it starts).
# Not part of the test suite: it installs 1.8 GB and needs minutes.
#
#   bash tools/flightgear-check.sh [--build DIR] [--out DIR] [--save-docs]
#     --build DIR   the build folder (default build)
#     --out DIR     the run's outputs (default out/flightgear-check)
#     --save-docs   copy the snapshots into docs/ for the pilots' README
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=build out=out/flightgear-check save_docs=0
while [ $# -gt 0 ]; do
  case $1 in
    --build) build=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --save-docs) save_docs=1; shift ;;
    -h|--help) sed -n '2,18p' "$0"; exit 0 ;;
    *) echo "flightgear-check.sh: unknown option $1 (see --help)" >&2; exit 2 ;;
  esac
done

step() { echo "== $*"; }
failures=0
check() {  # check WHAT CONDITION_COMMAND...
  local what=$1; shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}

# --- FlightGear and panelhost ---------------------------------------------------------------
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
if ! command -v fgfs >/dev/null && [ ! -x /usr/games/fgfs ]; then
  step "installing FlightGear (about 1.8 GB)"
  as_root apt-get update -q
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q flightgear xvfb dbus
fi
for tool in Xvfb dbus-run-session; do
  command -v $tool >/dev/null || as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q xvfb dbus
done
fgfs=$(command -v fgfs || echo /usr/games/fgfs)
fg_root=${FG_ROOT:-/usr/share/games/flightgear}
[ -d "$fg_root/Protocol" ] || { echo "no $fg_root/Protocol: set FG_ROOT to FlightGear's data folder" >&2; exit 2; }
as_root cp packaging/flightgear/panelhost.xml "$fg_root/Protocol/panelhost.xml"
step "FlightGear $(dpkg-query -W -f '${Version}' flightgear 2>/dev/null || echo '(not from a package)'), protocol in $fg_root/Protocol/panelhost.xml"

step "building panelhost in $build"
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" >/dev/null
cmake --build "$build" --target panelhost -j2 >/dev/null
panelhost=$root/$build/host/app/panelhost
[ -x "$panelhost" ] || panelhost=$build/host/app/panelhost

# --- ports and a display nobody uses --------------------------------------------------------
port_free() { [ -z "$(ss -Hltnu "sport = :$1" 2>/dev/null)" ]; }
udp_port=""
for candidate in $(seq 5500 2 5598); do
  if port_free "$candidate" && port_free $((candidate + 1)); then udp_port=$candidate; break; fi
done
[ -n "$udp_port" ] || { echo "no free pair of ports in 5500-5599" >&2; exit 2; }
props_port=$((udp_port + 1))
display=""
for n in $(seq 90 120); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=$n; break; fi
done
[ -n "$display" ] || { echo "no free X display in :90-:120" >&2; exit 2; }

rm -rf "$out"; mkdir -p "$out"
out=$(cd "$out" && pwd)

# Everything started here runs in its own process group and is ended with it.
xvfb_pid="" fg_pid=""
finish() {
  [ -n "$fg_pid" ] && kill -TERM -- "-$fg_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill -TERM "$xvfb_pid" 2>/dev/null || true
  sleep 2
  [ -n "$fg_pid" ] && kill -KILL -- "-$fg_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill -KILL "$xvfb_pid" 2>/dev/null || true
}
trap finish EXIT

step "starting Xvfb :$display and FlightGear (UDP to 127.0.0.1:$udp_port, property server on $props_port)"
Xvfb ":$display" -screen 0 1024x768x24 >"$out/xvfb.log" 2>&1 &
xvfb_pid=$!
sleep 2
DISPLAY=":$display" LIBGL_ALWAYS_SOFTWARE=1 setsid dbus-run-session -- "$fgfs" \
  --aircraft=c172p --airport=KSFO --in-air --altitude=3000 --vc=110 --heading=280 --timeofday=noon \
  --disable-sound --disable-terrasync --disable-splash-screen --geometry=640x480 --dme=115.8 \
  --generic=socket,out,10,127.0.0.1,$udp_port,udp,panelhost --telnet=$props_port >"$out/fgfs.log" 2>&1 &
fg_pid=$!

# One property server request; prints its answer (empty for `set`).
props() {  # props COMMAND...
  local answer="" line
  exec 3<>"/dev/tcp/127.0.0.1/$props_port" || return 1
  printf 'data\r\n' >&3
  for command in "$@"; do
    printf '%s\r\n' "$command" >&3
    if [[ $command == get* ]]; then
      IFS= read -r -t 5 line <&3 || line=""
      answer+=${line%$'\r'}
    fi
  done
  exec 3>&-
  printf '%s' "$answer"
}

step "waiting for FlightGear's property server"
for second in $(seq 300); do
  kill -0 "$fg_pid" 2>/dev/null || { echo "FlightGear stopped; the end of its log:"; tail -n 20 "$out/fgfs.log"; exit 1; }
  if [ "$(props 'get /sim/sceneryloaded' 2>/dev/null)" = true ]; then break; fi
  sleep 1
  [ "$second" -eq 300 ] && { echo "no property server after 5 minutes"; exit 1; }
done
step "waiting for its first datagrams (panelhost listens for two seconds at a time)"
for attempt in $(seq 60); do
  "$panelhost" live --listen "127.0.0.1:$udp_port" --headless --duration 2 -q -o "$out/probe" >/dev/null 2>&1 || true
  grep -q '^FlightGear: receiving' "$out/probe/trace.txt" 2>/dev/null && break
  [ "$attempt" -eq 60 ] && { echo "no datagram from FlightGear in two minutes"; exit 1; }
done
rm -rf "$out/probe"

step "powering FlightGear's GPS and sending it direct to KOAK"
props 'set /systems/electrical/outputs/gps 28' 'set /instrumentation/gps/scratch/ident KOAK' \
  'set /instrumentation/gps/scratch/latitude-deg 37.7213' 'set /instrumentation/gps/scratch/longitude-deg -122.2208' \
  'set /instrumentation/gps/command direct' >/dev/null
sleep 3
echo "FlightGear's GPS: $(props 'get /instrumentation/gps/wp/wp[1]/ID') at $(props 'get /instrumentation/gps/wp/wp[1]/distance-nm') nm, mode $(props 'get /instrumentation/gps/mode')"
# A scratch ident of another place: only the panel's direct-to writes KOAK there again.
props 'set /instrumentation/gps/scratch/ident SFO' >/dev/null
baro_before=$(props 'get /instrumentation/altimeter/setting-hpa')
echo "FlightGear's altimeter setting: $baro_before hPa"

cat >"$out/live.scenario" <<'SCRIPT'
# Both instruments on; the GPS through its self-test to page 1.
click gps power_on
click dme power_on
expect dme distance shown within 3s
wait 4s
click gps ent
expect gps nav_text text "KOAK" within 2s
expect gps distance shown within 2s
expect gps ground_speed shown within 2s
expect gps direct_to_symbol frame 1 within 2s
expect dme speed shown within 2s
wait 3s
snapshot flightgear-gps-dme
# The DME's frequency.
click dme mode_freq
expect dme frequency text "115.80" within 2s
wait 2s
snapshot flightgear-dme-freq
click dme mode_rmt
# The pressure setting: ALT opens it, CRSR edits it, the inner knob steps it (two baro_up
# events, written to FlightGear), ENT closes it; FlightGear's setting comes back.
click gps alt
expect gps page_image frame 2 within 1s
click gps crsr
click gps inner_right x2
expect event baro_up
wait 2s
click gps ent
expect gps baro text "1015.0mb" within 3s
wait 3s
snapshot flightgear-baro
# Tuning the DME: FREQ starts the selection (the first FREQ above already showed the steady
# frequency), the outer ring one megahertz up to 116.80 (Oakland), FREQ again ends it and
# tunes FlightGear's DME.
click dme mode_freq
expect event dme_frequency_select
click dme outer_right
expect dme set_frequency text "116.80" within 2s
wait 2s
click dme mode_freq
expect event dme_frequency_select
expect dme frequency text "116.80" within 3s
wait 5s
# Direct-to: FlightGear's GPS goes direct to the active waypoint from where the aircraft is.
click gps direct_to
expect event gps_direct_to
wait 3s
SCRIPT

step "panelhost live --headless against FlightGear"
set +e
"$panelhost" live "$out/live.scenario" --listen "127.0.0.1:$udp_port" --fgfs-props "127.0.0.1:$props_port" \
  --headless -o "$out/run" 2>&1 | tee "$out/panelhost.log"
status=${PIPESTATUS[0]}
set -e
check "panelhost live met every expectation of its script" [ "$status" -eq 0 ]

# FlightGear's figures now, against what the gauges showed in their last frames.
fg_distance=$(props 'get /instrumentation/gps/wp/wp[1]/distance-nm')
fg_ground_speed=$(props 'get /velocities/groundspeed-kt')
fg_dme_distance=$(props 'get /instrumentation/dme/indicated-distance-nm')
fg_dme_mhz=$(props 'get /instrumentation/dme/frequencies/selected-mhz')
fg_baro=$(props 'get /instrumentation/altimeter/setting-hpa')
fg_dme_source=$(props 'get /instrumentation/dme/frequencies/source')
fg_scratch=$(props 'get /instrumentation/gps/scratch/ident')
fg_gps_mode=$(props 'get /instrumentation/gps/mode')
fg_gps_to=$(props 'get /instrumentation/gps/wp/wp[1]/ID')
last_text() {  # last_text GAUGE ELEMENT: the element's last text in the trace
  grep "^$1 f[0-9]* e$2 string " "$out/run/trace.txt" | tail -n 1 | sed 's/.* text="\(.*\)"$/\1/'
}
gps_id=$(last_text gps 11) gps_distance=$(last_text gps 18) gps_speed=$(last_text gps 19)
dme_distance=$(last_text dme 8) dme_frequency=$(last_text dme 11)
echo "FlightGear: waypoint distance $fg_distance nm, ground speed $fg_ground_speed kt, DME $fg_dme_distance nm on $fg_dme_mhz MHz, altimeter $fg_baro hPa"
echo "FlightGear: DME frequency source $fg_dme_source; GPS mode $fg_gps_mode to $fg_gps_to, scratch ident $fg_scratch"
echo "gauges:     GPS \"$gps_id\" \"$gps_distance\" \"$gps_speed\", DME \"$dme_distance\" nm \"$dme_frequency\" MHz"
near() {  # near SHOWN EXPECTED TOLERANCE
  awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(a != "" && d <= t) }'
}
# The GPS converts with its own 1.8567508 km a nautical mile; the aircraft moves on meanwhile.
check "the GPS shows the waypoint KOAK" [ "$gps_id" = KOAK ]
check "the GPS shows FlightGear's waypoint distance" near "${gps_distance%nm}" "$(awk -v d="$fg_distance" 'BEGIN { print d * 1.852 / 1.8567508 }')" 0.3
check "the GPS shows FlightGear's ground speed" near "${gps_speed%kt}" "$fg_ground_speed" 6
check "the DME shows FlightGear's distance" near "$dme_distance" "$fg_dme_distance" 0.3
check "the DME shows FlightGear's frequency" [ "$dme_frequency" = "$(awk -v f="$fg_dme_mhz" 'BEGIN { printf "%.2f", f }')" ]
check "FlightGear's altimeter setting went from $baro_before to 1015 hPa" near "$fg_baro" 1015 0.01
check "the property writes are in the trace" grep -q '^baro_up: set /instrumentation/altimeter/setting-hpa 1015.00' "$out/run/trace.txt"
dme_tuned_by_panel() {
  [ "$(awk -v f="$fg_dme_mhz" 'BEGIN { printf "%.2f", f }')" = 116.80 ] &&
    [ "$fg_dme_source" = /instrumentation/dme/frequencies/selected-mhz ] && [ "$dme_frequency" = 116.80 ]
}
direct_to_by_panel() { [ "$fg_scratch" = KOAK ] && [ "$fg_gps_mode" = dto ] && [ "$fg_gps_to" = KOAK ]; }
check "the DME's selection tuned FlightGear's DME to 116.80 through its frequency source" dme_tuned_by_panel
check "the GPS's D-> sent FlightGear's GPS direct to KOAK again" direct_to_by_panel
check "the tuning and direct-to writes are in the trace" grep -q '^gps_direct_to: set /instrumentation/gps/command direct' "$out/run/trace.txt"

if [ "$save_docs" -eq 1 ]; then
  for picture in flightgear-gps-dme flightgear-dme-freq flightgear-baro; do
    cp "$out/run/$picture.png" "docs/$picture.png"
  done
  step "snapshots copied into docs/"
fi
step "outputs in $out"
[ $failures -eq 0 ] && echo "all checks passed" || echo "$failures checks failed"
exit $((failures > 0))
