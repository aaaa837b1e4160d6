#!/usr/bin/env bash
# Cross-builds the 32-bit Windows gauge modules and the Windows test host into build-win/
# (or the folder given), and with --install PREFIX also installs the panel builder's folder
# there: Gauges/*.gau, panel.cfg, HOW-TO-INSTALL.txt.
set -euo pipefail
cd "$(dirname "$0")/.."

dir=build-win
prefix=
while [ $# -gt 0 ]; do
  case $1 in
    --install) prefix=$2; shift 2 ;;
    *) dir=$1; shift ;;
  esac
done

cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-i686-w64-mingw32.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$dir" -j "${PANEL_JOBS:-2}"
if [ -n "$prefix" ]; then
  cmake --install "$dir" --prefix "$prefix"
fi
