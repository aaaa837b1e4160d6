#!/usr/bin/env bash
# Cross-builds the 32-bit Windows gauge modules and the Windows test host into build-win/
# (or the folder given), and with --install PREFIX also installs the panel builder's folder
# there: Gauges/*.gau, panel.cfg, HOW-TO-INSTALL.txt, sound/*.wav.
set -euo pipefail

usage_line="usage: build-windows.sh [--install DIR] [BUILD_DIR]   (--help for more)"

usage() {
  cat <<'EOF'
usage: build-windows.sh [--install DIR] [BUILD_DIR]

Cross-builds the two gauge modules (.gau) and the Windows test host as 32-bit Windows
programs with the mingw toolchain, in Release.

  BUILD_DIR      the build folder, relative to the project root (default: build-win);
                 the modules land in BUILD_DIR/modules
  --install DIR  then install the panel builder's folder into DIR: Gauges/*.gau,
                 panel.cfg, HOW-TO-INSTALL.txt and sound/*.wav. A relative DIR is taken from the
                 folder the script is run from, not the project root.
  -h, --help     show this text and exit

PANEL_JOBS sets the number of parallel build jobs (default: 2); PANEL_WERROR=ON makes
every warning an error, as CI builds.
EOF
}

# Bad arguments: one line on stderr saying what is wrong, and exit 2.
usage_error() {
  echo "build-windows.sh: $1; $usage_line" >&2
  exit 2
}

dir=
prefix=
while [ $# -gt 0 ]; do
  case $1 in
    -h|--help) usage; exit 0 ;;
    --install)
      [ $# -ge 2 ] && [ -n "$2" ] || usage_error "--install needs a folder"
      prefix=$2; shift 2 ;;
    -*) usage_error "unknown option $1" ;;
    *)
      [ -z "$dir" ] || usage_error "more than one build folder ($dir, $1)"
      dir=$1; shift ;;
  esac
done
dir=${dir:-build-win}
# Relative to where the user stands, so resolved before moving to the project root.
case $prefix in
  ''|/*) ;;
  *) prefix=$PWD/$prefix ;;
esac

cd "$(dirname "$0")/.."
cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-i686-w64-mingw32.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DPANEL_WERROR="${PANEL_WERROR:-OFF}" >/dev/null
cmake --build "$dir" -j "${PANEL_JOBS:-2}"
if [ -n "$prefix" ]; then
  cmake --install "$dir" --prefix "$prefix"
fi
