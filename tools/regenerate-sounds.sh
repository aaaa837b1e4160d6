#!/usr/bin/env bash
# Remakes the cue sounds in sound/, replacing what is there; --help tells the options.
set -euo pipefail

usage_line="usage: regenerate-sounds.sh [BUILD_DIR]   (--help for more)"

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

build=
while [ $# -gt 0 ]; do
  case $1 in
    -h|--help) usage; exit 0 ;;
    -*) echo "regenerate-sounds.sh: unknown option $1; $usage_line" >&2; exit 2 ;;
    *)
      if [ -n "$build" ]; then
        echo "regenerate-sounds.sh: more than one build folder ($build, $1); $usage_line" >&2
        exit 2
      fi
      build=$1; shift ;;
  esac
done
build=${build:-build}

cd "$(dirname "$0")/.."
cmake -S . -B "$build" >/dev/null
cmake --build "$build" --target cue_generator -j2
rm -f sound/*.wav
"$build/tools/sound/cue_generator" --out sound
echo "rewrote sound/"
