#!/usr/bin/env bash
# compare_with_golden.sh GOLDEN OUTPUT COMMAND...
# Runs COMMAND with OUTPUT appended and requires OUTPUT to equal GOLDEN byte for byte; on a
# difference prints the first differing line of each, with its line number.
set -uo pipefail
golden=$1 output=$2; shift 2
rm -f "$output"
"$@" "$output" || { echo "FAIL run: $*"; exit 1; }
[ -f "$golden" ] || { echo "FAIL no golden trace $golden (tools/regenerate-traces.sh writes it)"; exit 1; }
if cmp -s "$golden" "$output"; then
  echo "ok equal to $(basename "$golden"): $(wc -l <"$output") lines"
  exit 0
fi
line=$(cmp "$golden" "$output" | sed -n 's/.* line \([0-9]*\).*/\1/p')
if [ -z "$line" ]; then  # one file is a prefix of the other
  g=$(wc -l <"$golden"); o=$(wc -l <"$output")
  line=$(( (g < o ? g : o) + 1 ))
fi
echo "FAIL the trace differs from the golden one first at line $line"
echo "golden: $(sed -n "${line}p" "$golden")"
echo "now:    $(sed -n "${line}p" "$output")"
exit 1
