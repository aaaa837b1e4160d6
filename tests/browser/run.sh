#!/usr/bin/env bash
# run.sh PANELHOST OUT_DIR: the served panel in Debian's chromium, driven by playwright-core
# (both installed by tools/install-deps.sh). Skipped (exit 77) with the reason where either is
# missing; a failure of its own that exits 77 fails.
here=$(dirname "$0")
skip() {
  echo "panel-skipped: $1"
  exit 77
}
command -v node >/dev/null || skip "no node to drive the browser (tools/install-deps.sh installs it)"
[ -x /usr/bin/chromium ] || skip "no /usr/bin/chromium (tools/install-deps.sh installs it)"
[ -f "$here/node_modules/playwright-core/package.json" ] ||
  skip "no playwright-core in tests/browser/node_modules (tools/install-deps.sh installs it)"
mkdir -p "$2"
node "$here/panel_test.mjs" "$1" "$2"
status=$?
[ $status -ne 77 ] || status=1
exit $status
