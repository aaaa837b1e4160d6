#!/usr/bin/env bash
# check_probe.sh WINE CHECKER MODULE BITMAPS STATUS EXPECTATION...: runs the loaded-DLL check on
# a probe module under wine and expects its exit status and output. An expectation is
# "has:LINE" (that exact line is printed) or "lacks:TEXT" (no printed line contains TEXT).
set -uo pipefail
wine=$1 checker=$2 module=$3 bitmaps=$4 want_status=$5
shift 5
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT

output=$("$wine" "$checker" "$module" "$bitmaps" 2>"$errors")
status=$?
output=${output//$'\r'/}

problems=()
[ "$status" -eq "$want_status" ] || problems+=("exit status $status, expected $want_status")
for expectation in "$@"; do
  case $expectation in
    has:*) grep -qxF -- "${expectation#has:}" <<<"$output" || problems+=("no line \"${expectation#has:}\"") ;;
    lacks:*) ! grep -qF -- "${expectation#lacks:}" <<<"$output" || problems+=("a line with \"${expectation#lacks:}\"") ;;
    *) problems+=("unknown expectation \"$expectation\"") ;;
  esac
done

name=$(basename "$module")
if [ ${#problems[@]} -gt 0 ]; then
  echo "--- what the checker printed for $name (its start):"
  head -c 4000 <<<"$output"
  echo "--- its errors (their start):"
  head -c 2000 "$errors"
  for problem in "${problems[@]}"; do echo "FAIL $name: $problem"; done
  exit 1
fi
echo "ok $name: exit status $status, $# expected lines"
