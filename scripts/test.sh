#!/usr/bin/env bash
# Builds Wakeloom and runs every test under Wine on a private Xvfb.
set -euo pipefail
. "$(dirname "$0")/env.sh"
. "$WAKELOOM_ROOT/scripts/xvfb.sh"

"$WAKELOOM_ROOT/scripts/build.sh"
"$WAKELOOM_ROOT/scripts/wine-prefix.sh"

start_wine_session
cd "$WAKELOOM_BUILD"
ctest --output-on-failure "$@"
