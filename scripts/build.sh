#!/usr/bin/env bash
# Configures and builds everything (the program, the launcher, the tests).
set -euo pipefail
. "$(dirname "$0")/env.sh"
"$WAKELOOM_ROOT/scripts/setup.sh"
cmake -S "$WAKELOOM_ROOT" -B "$WAKELOOM_BUILD" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$WAKELOOM_ROOT/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE:-RelWithDebInfo} >/dev/null
cmake --build "$WAKELOOM_BUILD" -j "$(nproc)"
