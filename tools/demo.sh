#!/usr/bin/env bash
# Runs the demo flight. Until the panel application lands, it builds both gauge modules and
# says where they are.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake -S . -B build >/dev/null
cmake --build build -j "$(nproc)"
echo "The demo flight comes with the panel application. The gauge modules are built in build/modules/:"
ls -1 build/modules 2>/dev/null || true
