#!/bin/sh
# Usage: check_exports.sh MODULE.so
# Passes when the module defines exactly Linkage and ImportTable and leaves undefined only
# PlaySoundA, C library functions, weak runtime hooks and, in sanitizer builds, the
# sanitizer runtime (whose builds also leave the C library's names unversioned).
set -eu
module=$1
defined=$(nm -D --defined-only "$module" | awk '{print $3}' | sort | tr '\n' ' ')
if [ "$defined" != "ImportTable Linkage " ]; then
  echo "defined: $defined"
  exit 1
fi
nm -D --undefined-only "$module" | grep -q ' U PlaySoundA$' || { echo "PlaySoundA is not imported"; exit 1; }
c_library='fmod|sin|snprintf|strchr|strlen|memcpy|memset|memmove'
unexpected=$(nm -D --undefined-only "$module" \
  | grep -v -E " U PlaySoundA$| w | U [A-Za-z_0-9]+@GLIBC_[0-9.]+$| U ($c_library)$| U __(asan|ubsan|sanitizer)_" \
  || true)
if [ -n "$unexpected" ]; then
  echo "unexpected imports:"
  echo "$unexpected"
  exit 1
fi
echo "exports and imports as expected"
