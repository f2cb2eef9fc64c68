#!/usr/bin/env bash
# Builds the time arithmetic, the clock face's state and the picker's folder
# tree natively with clang and the address and undefined-behaviour
# sanitizers, and runs their table tests: no Wine needed. (The parsers are run under the sanitizers by the
# fuzz targets.)
set -euo pipefail
. "$(dirname "$0")/env.sh"

out=$WAKELOOM_BUILD/native
mkdir -p "$out"
cd "$WAKELOOM_ROOT"
includes=(-Iplatform -Iplatform/fsound -Isrc/core)
sources=(tests/core/*.cpp src/core/alarmtime.cpp src/core/foldertree.cpp src/core/facestate.cpp)
clang++ -std=c++20 -O1 -g -Wall -Wextra -fsanitize=address,undefined -fno-sanitize-recover=all \
    "${includes[@]}" -o "$out/native_tests" "${sources[@]}" -lgtest -lgtest_main -pthread
"$out/native_tests" "$@"
