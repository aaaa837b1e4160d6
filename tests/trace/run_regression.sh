#!/usr/bin/env bash
# run_regression.sh PANEL_TRACE MODULE SESSION OUTPUT
# Runs an input that once crashed or failed the trace tool. The session's "# expect:" line
# holds the one line the tool must print, with a non-zero exit; an empty expectation means
# the session must run cleanly.
set -uo pipefail
tool=$1 module=$2 session=$3 output=$4
expected=$(sed -n 's/^# expect: \{0,1\}//p' "$session" | head -1 | tr -d '\r')
cd "$(dirname "$session")"
got=$("$tool" "$module" "$(basename "$session")" "$output" 2>&1)
status=$?
if [ -z "$expected" ]; then
  [ $status -eq 0 ] && { echo "ok ran cleanly"; exit 0; }
  echo "FAIL exit $status: $got"; exit 1
fi
if [ $status -ne 0 ] && [ "$got" = "$expected" ]; then echo "ok refused: $got"; exit 0; fi
echo "FAIL exit $status"
echo "expected: $expected"
echo "got:      $got"
exit 1
