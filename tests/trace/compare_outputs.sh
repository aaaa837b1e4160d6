#!/usr/bin/env bash
# compare_outputs.sh STEM NATIVE_COMMAND... -- WINDOWS_COMMAND... --
# Runs both commands, each with its output file appended (STEM.native, STEM.windows), and
# requires the two files to be identical byte for byte. On a difference it prints the first
# differing line of each, with its line number.
set -uo pipefail
stem=$1; shift
native=(); windows=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do native+=("$1"); shift; done
shift
while [ $# -gt 0 ] && [ "$1" != -- ]; do windows+=("$1"); shift; done

mkdir -p "$(dirname "$stem")"
rm -f "$stem.native" "$stem.windows"
"${native[@]}" "$stem.native" || { echo "FAIL native run: ${native[*]}"; exit 1; }
"${windows[@]}" "$stem.windows" || { echo "FAIL windows run: ${windows[*]}"; exit 1; }

if cmp -s "$stem.native" "$stem.windows"; then
  echo "ok identical: $(wc -l <"$stem.native") lines, $(wc -c <"$stem.native") bytes"
  exit 0
fi
line=$(cmp "$stem.native" "$stem.windows" | sed -n 's/.* line \([0-9]*\).*/\1/p')
if [ -z "$line" ]; then  # one file is a prefix of the other
  line=$(( $(wc -l <"$stem.native") < $(wc -l <"$stem.windows") ? $(wc -l <"$stem.native") + 1 : $(wc -l <"$stem.windows") + 1 ))
fi
echo "FAIL the traces differ first at line $line"
echo "native:  $(sed -n "${line}p" "$stem.native")"
echo "windows: $(sed -n "${line}p" "$stem.windows")"
exit 1
