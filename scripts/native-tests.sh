#!/usr/bin/env bash
# Builds the pure logic (time arithmetic, the clock face's state, the playlist scanner, tag texts,
# the WAV header, the picker's folder tree, the notification store's codec)
# natively with clang and the address and undefined-behaviour sanitizers,
# and runs its table tests: no Wine needed.
set -euo pipefail
. "$(dirname "$0")/env.sh"

out=$WAKELOOM_BUILD/native
mkdir -p "$out"
cd "$WAKELOOM_ROOT"
includes=(-Iplatform -Iplatform/fsound -Isrc -Isrc/scheduling -Isrc/data -Isrc/media -Isrc/sound -Isrc/clockface)
sources=(tests/native/*.cpp src/scheduling/alarmtime.cpp src/media/asxscanner.cpp
         src/sound/tagtext.cpp src/media/foldertree.cpp platform/notifyrecord.cpp
         platform/fsound/wavheader.cpp src/clockface/facestate.cpp)
clang++ -std=c++20 -O1 -g -Wall -Wextra -fsanitize=address,undefined -fno-sanitize-recover=all \
    "${includes[@]}" -o "$out/native_tests" "${sources[@]}" -lgtest -lgtest_main -pthread
"$out/native_tests" "$@"
