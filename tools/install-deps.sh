#!/usr/bin/env bash
# Installs what the build, the tests and the demo need on a Debian 12 machine, and makes sure
# the machine runs 32-bit programs (wine's loader is one): where the kernel refuses them, it
# runs them under qemu-user's emulation from Debian's backports. Safe to run again: it only
# installs what is missing and changes nothing on a machine that runs 32-bit programs.
# Needs root (or sudo) for what it changes.
set -euo pipefail
source "$(dirname "$0")/lib/i386-programs.sh"

packages=(
  cmake g++ make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libcairo2-dev libpango1.0-dev libgif-dev libcli11-dev libsdl2-dev libasound2-dev
  fonts-dejavu-core fonts-liberation fonts-dseg
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  wine wine32:i386
  xvfb xauth xdotool
  # the Debian package and what comes with panelhost: its man page, its checks, bash completion,
  # the pilot's guide as HTML (tools/guide.sh)
  help2man dpkg-dev file lintian man-db bash-completion desktop-file-utils pandoc
  # an X server of two screens side by side, for the windows-on-screens check
  xserver-xorg-video-dummy
  # the browser front end: HTTP and WebSocket, JSON; its test drives Debian's chromium from node
  libboost-dev nlohmann-json3-dev chromium nodejs
  # clang with its libFuzzer and sanitizer runtimes, for the fuzzers
  clang libclang-rt-14-dev
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

can_be_root() {
  [ "$(id -u)" -eq 0 ] || sudo -n true 2>/dev/null
}

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

install_packages() {
  local missing=() p
  for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
  fi
  as_root apt-get update -q
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# Debian 12's own qemu-user (7.2) breaks wine; the one in bookworm-backports runs it. The
# suite gets a sources entry of its own, pinned below everything else so that only qemu-user
# is ever taken from it.
backports_sources=/etc/apt/sources.list.d/panelhost-backports.sources
backports_pin=/etc/apt/preferences.d/panelhost-backports

install_backports_qemu() {
  if [ ! -f "$backports_sources" ]; then
    as_root tee "$backports_sources" >/dev/null <<'SOURCES'
# Added by the Corvane panel's tools/install-deps.sh, for qemu-user only (see panelhost-backports
# in preferences.d).
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  fi
  if [ ! -f "$backports_pin" ]; then
    as_root tee "$backports_pin" >/dev/null <<'PIN'
# Added by the Corvane panel's tools/install-deps.sh: nothing comes from bookworm-backports
# unless asked for, except qemu-user, which runs 32-bit programs under emulation.
Package: *
Pin: release n=bookworm-backports
Pin-Priority: 90

Package: qemu-user
Pin: release n=bookworm-backports
Pin-Priority: 500
PIN
  fi
  if [ ! -x /usr/bin/qemu-i386 ] || ! apt-cache policy qemu-user 2>/dev/null | grep -q 'Installed:.*~bpo'; then
    as_root apt-get update -q || return 1
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -q --no-install-recommends \
      qemu-user/bookworm-backports || return 1
  fi
}

# The registration, as binfmt_misc reads it: any 32-bit x86 ELF executable or shared object
# runs under qemu-i386 (flag F: the emulator is opened now, so it works in any mount namespace).
binfmt_name=qemu-i386
binfmt_line=":$binfmt_name:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:/usr/bin/qemu-i386:F"

register_qemu_i386() {
  if [ ! -e "$i386_binfmt/register" ]; then
    as_root mount -t binfmt_misc binfmt_misc "$i386_binfmt" || return 1
  fi
  # An entry of that name that does not run them (another qemu, a stale path) is replaced.
  if [ -e "$i386_binfmt/$binfmt_name" ]; then
    echo -1 | as_root tee "$i386_binfmt/$binfmt_name" >/dev/null
  fi
  printf '%s\n' "$binfmt_line" | as_root tee "$i386_binfmt/register" >/dev/null || return 1
  # Registered again at boot where systemd-binfmt runs.
  if [ -d /etc/binfmt.d ] || [ -d /run/systemd/system ]; then
    printf '%s\n' "$binfmt_line" | as_root tee /etc/binfmt.d/panelhost-qemu-i386.conf >/dev/null
  fi
}

enable_i386_emulation() {
  echo "this kernel runs no 32-bit programs: running them under qemu-user's emulation"
  install_backports_qemu && register_qemu_i386
}

# playwright-core (its own browser download is not used: the test drives /usr/bin/chromium),
# into tests/browser/node_modules at the version its lock file names.
install_browser_driver() {
  if ! command -v npm >/dev/null; then
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -q --no-install-recommends npm
  fi
  local folder
  folder="$(dirname "$0")/../tests/browser"
  [ -f "$folder/node_modules/playwright-core/package.json" ] && return 0
  (cd "$folder" && npm ci --no-audit --no-fund)
}

install_packages
install_browser_driver
if [ "$(i386_programs)" = none ] && [ -e "$i386_loader" ]; then
  if ! can_be_root; then
    echo "install-deps.sh: $(i386_refusal); the wine tests will be skipped" >&2
  elif ! enable_i386_emulation || [ "$(i386_programs)" = none ]; then
    echo "install-deps.sh: could not run 32-bit programs under emulation; the wine tests will be skipped" >&2
  fi
fi
