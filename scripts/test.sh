#!/usr/bin/env bash
# Builds Wakeloom and runs every test under Wine on a private Xvfb.
set -euo pipefail
. "$(dirname "$0")/env.sh"
. "$WAKELOOM_ROOT/scripts/xvfb.sh"

"$WAKELOOM_ROOT/scripts/build.sh"
"$WAKELOOM_ROOT/scripts/wine-prefix.sh"

cleanup() {
    stop_prefix_processes
    stop_xvfb
}
trap cleanup EXIT

# A wineserver left from an earlier run may hold another display.
stop_prefix_processes
start_xvfb
# One persistent server for the whole run instead of one per test program.
"$WINESERVER" -p
cd "$WAKELOOM_BUILD"
ctest --output-on-failure "$@"
