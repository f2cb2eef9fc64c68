#!/usr/bin/env bash
# Builds Wakeloom and runs every benchmark (the *_bench programs), which
# print their figures. The sound benchmarks take their media from the sound
# tests' fixture.
set -euo pipefail
. "$(dirname "$0")/env.sh"
. "$WAKELOOM_ROOT/scripts/xvfb.sh"

"$WAKELOOM_ROOT/scripts/build.sh"
"$WAKELOOM_ROOT/scripts/wine-prefix.sh"
bash "$WAKELOOM_ROOT/tests/services/sound/make-media.sh" "$WAKELOOM_BUILD/sounds" "$WAKELOOM_BUILD/testmedia"

start_wine_session
for bench in "$WAKELOOM_BUILD"/bin/*_bench.exe; do
    [ -e "$bench" ] || continue
    echo "== $(basename "$bench" .exe)"
    "$WAKELOOM_ROOT/scripts/wine-run.sh" "$bench"
done
echo "== idle_cpu"
bash "$WAKELOOM_ROOT/bench/idle_cpu.sh" 60
