#!/usr/bin/env bash
# Remakes the cue sounds in sound/, replacing what is there; --help tells the options.
set -euo pipefail

usage() {
  cat <<'TEXT'
usage: regenerate-sounds.sh [BUILD_DIR]

Builds the cue generator and writes the host's five cue sounds (click.wav,
soft_click.wav, beep2.wav, beep3.wav, beep4.wav) into sound/, replacing the
files there.

  BUILD_DIR   the build folder for the generator, relative to the project root
              (default: build)
  -h, --help  show this text and exit
TEXT
}

source "$(dirname "$0")/lib/build-folder-argument.sh"
read_build_folder regenerate-sounds.sh "$@"

cd "$(dirname "$0")/.."
cmake -S . -B "$build" >/dev/null
cmake --build "$build" --target cue_generator -j2
rm -f sound/*.wav
"$build/tools/sound/cue_generator" --out sound
echo "rewrote sound/"
