#!/bin/sh
# Usage: check_exports.sh MODULE.so IMPORTS_LIST SANITIZE
# Passes when the module defines exactly Linkage and ImportTable, imports PlaySoundA, and leaves
# undefined nothing but the names in IMPORTS_LIST (one per line, without symbol versions; '#'
# starts a comment). With SANITIZE 1 the sanitizer runtime's own entry points are allowed too:
# instrumented code calls them, and only that build has them.
set -eu
if [ $# -ne 3 ]; then
  echo "usage: check_exports.sh MODULE.so IMPORTS_LIST SANITIZE" >&2
  exit 2
fi
module=$1
list=$2
sanitize=$3
[ -r "$module" ] || { echo "$module: cannot read the module"; exit 1; }
[ -r "$list" ] || { echo "$list: cannot read the import list"; exit 1; }

defined=$(nm -D --defined-only "$module" | awk '{print $3}' | sort | tr '\n' ' ')
if [ "$defined" != "ImportTable Linkage " ]; then
  echo "$module: defines $defined(expected ImportTable Linkage)"
  exit 1
fi

# Names only: "U snprintf@GLIBC_2.2.5" and "w __gmon_start__" become snprintf and __gmon_start__.
imports=$(nm -D --undefined-only "$module" | awk '{print $2}' | sed 's/@.*//' | sort -u)
echo "$imports" | grep -qx PlaySoundA || { echo "$module: PlaySoundA is not imported"; exit 1; }

allowed=$(sed -e 's/#.*//' -e 's/[[:space:]]//g' "$list" | grep -v '^$' || true)
# An empty pattern list would let grep pass every name.
[ -n "$allowed" ] || { echo "$list: names no symbol"; exit 1; }
unexpected=$(echo "$imports" | grep -vxF "$allowed" || true)
if [ "$sanitize" = 1 ]; then
  # clang adds its coverage counters (a fuzzing build) and the type information its
  # function-pointer check compares.
  unexpected=$(echo "$unexpected" | grep -vE '^(__(asan|ubsan|lsan|sanitizer|sancov)_|_ZTVN10__cxxabiv120__function_type_infoE$)' || true)
fi
if [ -n "$unexpected" ]; then
  echo "$module: unexpected imports (not in $list):"
  echo "$unexpected"
  exit 1
fi
echo "exports and imports as expected"
