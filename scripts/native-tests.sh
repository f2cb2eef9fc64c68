#!/usr/bin/env bash
# Builds the pure logic (time arithmetic, the playlist scanner, tag texts,
# the WAV header, the picker's folder tree, the notification store's codec)
# natively with clang and the address and undefined-behaviour sanitizers,
# and runs its table tests: no Wine needed.
set -euo pipefail
. "$(dirname "$0")/env.sh"

out=$WAKELOOM_BUILD/native
mkdir -p "$out"
cd "$WAKELOOM_ROOT"
includes=(-Iplatform -Iplatform/fsound -Isrc/core)
sources=(tests/native/*.cpp src/core/alarmtime.cpp src/core/asxscanner.cpp
         src/core/tagtext.cpp src/core/foldertree.cpp platform/notifyrecord.cpp
         platform/fsound/wavheader.cpp)
clang++ -std=c++20 -O1 -g -Wall -Wextra -fsanitize=address,undefined -fno-sanitize-recover=all \
    "${includes[@]}" -o "$out/native_tests" "${sources[@]}" -lgtest -lgtest_main -pthread
"$out/native_tests" "$@"
