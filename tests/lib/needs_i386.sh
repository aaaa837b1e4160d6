#!/usr/bin/env bash
# needs_i386.sh COMMAND...: runs a test that runs 32-bit programs (wine, its prefix, the
# bridge). On a machine that runs none, the test is skipped (exit 77, which CTest is told
# means skipped) with the reason on one line; a command of its own that exits 77 fails.
source "$(dirname "$0")/../../tools/lib/i386-programs.sh"
if [ "$(i386_programs)" = none ]; then
  echo "panel-wine-skipped: $(i386_refusal)"
  exit 77
fi
"$@"
status=$?
[ $status -ne 77 ] || status=1
exit $status
