#!/usr/bin/env bash
# check_install.sh CROSS_BUILD_DIR PREFIX: `cmake --install` of the Windows build gives the
# folder a panel builder copies: Gauges/ with exactly the two modules, sound/ with exactly the
# five cues, and panel.cfg, HOW-TO-INSTALL.txt and the pilot's guide beside them, the example placing both gauges
# by module and gauge name; and the zip cpack makes of it holds exactly that folder.
set -euo pipefail
build=$1 prefix=$2
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
# The zip first: cpack brings the build up to date before it installs.
zips=$prefix.zips
rm -rf "$prefix" "$zips"; mkdir -p "$zips"
cpack --config "$build/CPackConfig.cmake" -B "$zips" >/dev/null
zip=$(ls "$zips"/*.zip)
cmake --install "$build" --prefix "$prefix" >/dev/null
status=0
gauges=$(cd "$prefix/Gauges" && ls | tr '\n' ' ')
[ "$gauges" = "GPS_Corvane_PX40.gau VER2_Corvane_VX_RD22.gau " ] || { echo "FAIL Gauges/ holds: $gauges"; status=1; }
top=$(cd "$prefix" && ls | tr '\n' ' ')
[ "$top" = "Gauges HOW-TO-INSTALL.txt PILOTS-GUIDE.html panel.cfg sound " ] || { echo "FAIL the folder holds: $top"; status=1; }
sounds=$(cd "$prefix/sound" && ls | tr '\n' ' ')
[ "$sounds" = "beep2.wav beep3.wav beep4.wav click.wav soft_click.wav " ] || { echo "FAIL sound/ holds: $sounds"; status=1; }
for cue in $sounds; do
  cmp -s "$source_dir/sound/$cue" "$prefix/sound/$cue" || { echo "FAIL sound/$cue is not the project's"; status=1; }
  grep -qF "sound\\$cue" "$prefix/HOW-TO-INSTALL.txt" || { echo "FAIL HOW-TO-INSTALL.txt does not name sound\\$cue"; status=1; }
done
grep -q 'src="data:image/png' "$prefix/PILOTS-GUIDE.html" || { echo "FAIL PILOTS-GUIDE.html carries no pictures"; status=1; }
grep -q "Never overwrite" "$prefix/HOW-TO-INSTALL.txt" || { echo "FAIL HOW-TO-INSTALL.txt does not say to keep the simulator's cues"; status=1; }
for gauge in GPS_Corvane_PX40 VER2_Corvane_VX_RD22; do
  grep -q "^gauge00=$gauge!$gauge," "$prefix/panel.cfg" || { echo "FAIL panel.cfg does not place $gauge"; status=1; }
  cmp -s "$build/modules/$gauge.gau" "$prefix/Gauges/$gauge.gau" || { echo "FAIL Gauges/$gauge.gau is not the build's"; status=1; }
done

# The zip: the same files, no more, byte for byte.
in_zip=$(cmake -E tar tf "$zip" | grep -v '/$' | sort | tr '\n' ' ')
in_folder=$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort | tr '\n' ' ')
[ "$in_zip" = "$in_folder" ] || { echo "FAIL $(basename "$zip") holds: $in_zip; the folder: $in_folder"; status=1; }
mkdir "$zips/unpacked"
(cd "$zips/unpacked" && cmake -E tar xf "$zip")
diff -r "$prefix" "$zips/unpacked" >/dev/null || { echo "FAIL $(basename "$zip") differs from the folder"; status=1; }
rm -rf "$zips"
[ $status -eq 0 ] && echo "ok installed: $top/ Gauges: $gauges/ sound: $sounds; $(basename "$zip") holds exactly that"
exit $status
