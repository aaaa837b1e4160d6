#!/usr/bin/env bash
# Builds what users get, in Release: the Debian package panelhost_VERSION_amd64.deb (with the
# Windows modules and the bridge that flies them) and, for panel builders on Windows, the zip
# of the install folder, corvane-panel-gauges-VERSION.zip. Both land in build-package/ (or the
# folder given, relative to the project root); lintian checks the package.
set -euo pipefail

case ${1:-} in
  -h|--help)
    echo "usage: package.sh [OUT_DIR]   (default: build-package; PANEL_JOBS sets the build jobs, default 2)"
    exit 0 ;;
  -*) echo "package.sh: unknown option $1; usage: package.sh [OUT_DIR]" >&2; exit 2 ;;
esac
cd "$(dirname "$0")/.."
out=${1:-build-package}
jobs=${PANEL_JOBS:-2}

PANEL_JOBS=$jobs bash tools/build-windows.sh "$out/windows"
# Only what is installed is built: not the tests.
cmake -S . -B "$out/linux" -DCMAKE_BUILD_TYPE=Release -DPANEL_WINDOWS_BUILD_DIR="$PWD/$out/windows" \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$out/linux" -j "$jobs" --target panelhost panel_play_sound panelhost_man panelhost_changelog
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
