#!/usr/bin/env bash
# Builds what users get, in Release: the Debian package panelhost_VERSION_amd64.deb (with the
# Windows modules and the bridge that flies them) and, for panel builders on Windows, the zip
# of the install folder, corvane-panel-gauges-VERSION.zip. Both land in build-package/ (or the
# folder given, relative to the project root); lintian checks the package.
set -euo pipefail

usage() {
  cat <<'USAGE'
usage: package.sh [OUT_DIR]

Builds, in Release, the Debian package panelhost_VERSION_amd64.deb (with the Windows modules
and their bridge) and the Windows install folder zipped, corvane-panel-gauges-VERSION.zip, and
checks the package with lintian.

  OUT_DIR     where both land, with the build folders, relative to the project root
              (default: build-package)
  -h, --help  show this text and exit

PANEL_JOBS sets the number of parallel build jobs (default: 2).
USAGE
}
usage_line="usage: package.sh [OUT_DIR]   (--help for more)"
out=
while [ $# -gt 0 ]; do
  case $1 in
    -h|--help) usage; exit 0 ;;
    -*) echo "package.sh: unknown option $1; $usage_line" >&2; exit 2 ;;
    *)
      [ -z "$out" ] || { echo "package.sh: more than one folder ($out, $1); $usage_line" >&2; exit 2; }
      out=$1; shift ;;
  esac
done
out=${out:-build-package}
cd "$(dirname "$0")/.."
jobs=${PANEL_JOBS:-2}

PANEL_JOBS=$jobs bash tools/build-windows.sh "$out/windows"
# Only what is installed is built: not the tests.
cmake -S . -B "$out/linux" -DCMAKE_BUILD_TYPE=Release -DPANEL_WINDOWS_BUILD_DIR="$PWD/$out/windows" \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$out/linux" -j "$jobs" --target installed_files
cpack --config "$out/linux/CPackConfig.cmake" -B "$out/linux/packages" >/dev/null
cpack --config "$out/windows/CPackConfig.cmake" -B "$out/windows/packages" >/dev/null
deb=$(ls "$out"/linux/packages/panelhost_*_amd64.deb)
zip=$(ls "$out"/windows/packages/corvane-panel-gauges-*.zip)
cp "$deb" "$zip" "$out/"
if command -v lintian >/dev/null; then
  lintian "$out/$(basename "$deb")" || { echo "package.sh: lintian reports errors in $(basename "$deb")" >&2; exit 1; }
fi
echo "the Debian package: $PWD/$out/$(basename "$deb")"
echo "the Windows install folder, zipped: $PWD/$out/$(basename "$zip")"
