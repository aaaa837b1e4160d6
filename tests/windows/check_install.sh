#!/usr/bin/env bash
# check_install.sh CROSS_BUILD_DIR PREFIX: `cmake --install` of the Windows build gives the
# folder a panel builder copies: Gauges/ with exactly the two modules, and panel.cfg and
# HOW-TO-INSTALL.txt beside it, the example placing both gauges by module and gauge name.
set -euo pipefail
build=$1 prefix=$2
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
status=0
gauges=$(cd "$prefix/Gauges" && ls | tr '\n' ' ')
[ "$gauges" = "GPS_Corvane_PX40.gau VER2_Corvane_VX_RD22.gau " ] || { echo "FAIL Gauges/ holds: $gauges"; status=1; }
top=$(cd "$prefix" && ls | tr '\n' ' ')
[ "$top" = "Gauges HOW-TO-INSTALL.txt panel.cfg " ] || { echo "FAIL the folder holds: $top"; status=1; }
for gauge in GPS_Corvane_PX40 VER2_Corvane_VX_RD22; do
  grep -q "^gauge00=$gauge!$gauge," "$prefix/panel.cfg" || { echo "FAIL panel.cfg does not place $gauge"; status=1; }
  cmp -s "$build/modules/$gauge.gau" "$prefix/Gauges/$gauge.gau" || { echo "FAIL Gauges/$gauge.gau is not the build's"; status=1; }
done
[ $status -eq 0 ] && echo "ok installed: $top/ Gauges: $gauges"
exit $status
