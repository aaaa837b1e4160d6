#!/usr/bin/env bash
# check_deb.sh BUILD_DIR WORK_DIR: the Debian package cpack makes of the build: its name, its
# metadata, the files it holds and where, lintian's verdict, and panelhost unpacked from it
# flying the demo in a root of its own.
set -uo pipefail
build=$(cd "$1" && pwd) work=$2
rm -rf "$work"; mkdir -p "$work"; work=$(cd "$work" && pwd)
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

if ! cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"; exit 1
fi
debs=("$work"/package/panelhost_*_amd64.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL cpack made no panelhost_VERSION_amd64.deb: $(ls "$work/package")"; exit 1; }
deb=${debs[0]}
field() { dpkg-deb -f "$deb" "$1"; }

# --- metadata ---------------------------------------------------------------------------------
version=$(field Version)
[ "$(basename "$deb")" = "panelhost_${version}_amd64.deb" ] || fail "named $(basename "$deb") for version $version"
[ "$(field Package)" = panelhost ] || fail "Package: $(field Package)"
[ "$(field Architecture)" = amd64 ] || fail "Architecture: $(field Architecture)"
depends=$(field Depends)
depended=$(sed -e 's/ ([^)]*)//g' -e 's/, /\n/g' <<<"$depends")
# From the binaries (shlibdeps), and the fonts the faces are drawn in.
for package in libc6 libstdc++6 libcairo2 libpango-1.0-0 libgif7 libsdl2-2.0-0 fonts-dejavu-core fonts-liberation fonts-dseg; do
  grep -qxF "$package" <<<"$depended" || fail "Depends lacks $package: $depends"
done
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ "$(field Description | wc -l)" -ge 3 ] || fail "the Description is not a summary and a long text: $(field Description)"
if grep -q '^windows=.' "$build/host/app/panelhost-build-tree.txt"; then
  [ "$(field Recommends)" = "wine, wine32" ] || fail "built with the Windows modules, yet Recommends: $(field Recommends)"
fi

# --- files ------------------------------------------------------------------------------------
files=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')
for file in /usr/bin/panelhost /usr/lib/panelhost/libpanel_play_sound.so \
            /usr/lib/panelhost/GPS_Corvane_PX40.so /usr/lib/panelhost/VER2_Corvane_VX_RD22.so \
            /usr/share/panelhost/sound/click.wav /usr/share/panelhost/sound/soft_click.wav \
            /usr/share/panelhost/sound/beep2.wav /usr/share/panelhost/sound/beep3.wav \
            /usr/share/panelhost/sound/beep4.wav /usr/share/panelhost/flightgear/panelhost.xml \
            /usr/share/panelhost/flightgear/recording-ksfo.txt /usr/share/panelhost/examples/panel.cfg /usr/share/panelhost/examples/controls.cfg \
            /usr/share/man/man1/panelhost.1.gz /usr/share/bash-completion/completions/panelhost \
            /usr/share/applications/panelhost.desktop /usr/share/icons/hicolor/scalable/apps/panelhost.svg \
            /usr/share/doc/panelhost/copyright /usr/share/doc/panelhost/changelog.gz \
            /usr/share/doc/panelhost/README.md /usr/share/doc/panelhost/FLIGHTGEAR.md \
            /usr/share/doc/panelhost/pilots-guide.html; do
  grep -qx "$file" <<<"$files" || fail "the package lacks $file"
done
grep -q '^/usr/lib/panelhost/GPS_Corvane_PX40/.*\.bmp$' <<<"$files" || fail "the package lacks the GPS bitmaps"
outside=$(grep -v '^/usr/' <<<"$files" | grep -vx '/' | grep -v '^/$')
[ -z "$outside" ] || fail "files outside /usr: $outside"
grep -q 'panelhost-build-tree' <<<"$files" && fail "the package holds the build tree's file"

# --- lintian ----------------------------------------------------------------------------------
if command -v lintian >/dev/null; then
  lintian_out=$(lintian --no-tag-display-limit "$deb" 2>&1)
  errors=$(grep '^E:' <<<"$lintian_out")
  [ -z "$errors" ] || fail "lintian: $errors"
  echo "lintian: no errors; $(grep -c '^W:' <<<"$lintian_out") warnings"
  grep '^W:' <<<"$lintian_out"
else
  fail "no lintian (tools/install-deps.sh installs it)"
fi

# --- unpacked -----------------------------------------------------------------------------------
dpkg-deb -x "$deb" "$work/root"
mkdir -p "$work/run" "$work/home"
kept=()
for name in ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS; do
  [ -n "${!name:-}" ] && kept+=("$name=${!name}")
done
if out=$(cd "$work/run" && env -i PATH=/usr/bin:/bin HOME="$work/home" "${kept[@]}" "$work/root/usr/bin/panelhost" demo -q --out demo 2>&1); then
  [ "$(ls "$work/run/demo"/*.png | wc -l)" -eq 15 ] || fail "the unpacked demo drew $(ls "$work/run/demo" | tr '\n' ' ')"
else
  fail "the unpacked panelhost demo: $out"
fi

[ $failures -eq 0 ] && echo "ok $(basename "$deb"): $(wc -l <<<"$files") entries; the unpacked demo flew"
exit $((failures > 0))
