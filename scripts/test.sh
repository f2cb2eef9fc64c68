#!/usr/bin/env bash
# Builds Wakeloom and runs every test under Wine on a private Xvfb.
set -euo pipefail
. "$(dirname "$0")/env.sh"
. "$WAKELOOM_ROOT/scripts/xvfb.sh"

"$WAKELOOM_ROOT/scripts/build.sh"
"$WAKELOOM_ROOT/scripts/wine-prefix.sh"

cleanup() {
    "$WINESERVER" -k 2>/dev/null || true
    stop_xvfb
}
trap cleanup EXIT

# A wineserver left from an earlier run may hold another display.
"$WINESERVER" -k 2>/dev/null || true
start_xvfb
# One persistent server for the whole run instead of one per test program.
"$WINESERVER" -p
cd "$WAKELOOM_BUILD"
ctest --output-on-failure "$@"
