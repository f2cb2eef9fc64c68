#!/usr/bin/env bash
# Builds the fuzz targets of the sound library's parsers and of its OGG open
# path natively with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs them.
#   scripts/fuzz.sh                  every target once over its seed corpus
#   scripts/fuzz.sh --long SECONDS   each target for SECONDS, growing its corpus
# Seeds are made from the build's sounds, test media and conformance files
# (run the tests first).
set -euo pipefail
. "$(dirname "$0")/env.sh"

seconds=0
case "${1:-}" in
    --long) seconds=${2:?seconds}; ;;
    "") ;;
    *) echo "usage: $0 [--long SECONDS]" >&2; exit 2 ;;
esac

out=$WAKELOOM_BUILD/fuzz
src=$WAKELOOM_ROOT/platform/fsound
mkdir -p "$out"
sanitize=(-fsanitize=address,undefined -fno-sanitize-recover=all)
flags=(-std=c++20 -O1 -g -fsanitize=fuzzer "${sanitize[@]}" -I"$src" -I/usr/include/stb
       -I"$WAKELOOM_ROOT/platform" -I"$WAKELOOM_ROOT/src/core")
build() {
    local target=$1; shift
    if [ ! -x "$out/$target" ] || [ -n "$(find "$WAKELOOM_ROOT/tests/fuzz/$target.cpp" "$@" -newer "$out/$target")" ]; then
        clang++ "${flags[@]}" -o "$out/$target" "$WAKELOOM_ROOT/tests/fuzz/$target.cpp" "$@"
    fi
}
build fuzz_wavheader "$src/wavheader.cpp"
build fuzz_mpeg "$src/mpegaudio.cpp"
build fuzz_tags "$src/soundtags.cpp" "$src/mpegaudio.cpp" "$WAKELOOM_ROOT/src/core/tagtext.cpp"
build fuzz_asx "$WAKELOOM_ROOT/src/core/asxscanner.cpp"
build fuzz_notifystore "$WAKELOOM_ROOT/platform/notifyrecord.cpp"
# The Vorbis decoder's code as the library compiles it: as C. Three checks
# of arithmetic are left out for it, as it overflows by design on damaged
# input and then refuses or clamps the result: an out-of-range float cast
# to int while sizing a codebook, integer overflow in its float trick for
# 16-bit samples, a left shift of a negative block length.
if [ ! -f "$out/stbvorbis.o" ] \
    || [ -n "$(find "$src/stbvorbis.c" "${BASH_SOURCE[0]}" -newer "$out/stbvorbis.o")" ]; then
    clang -O1 -g -fsanitize=fuzzer-no-link "${sanitize[@]}" \
        -fno-sanitize=float-cast-overflow,signed-integer-overflow,shift \
        -I/usr/include/stb -c \
        -o "$out/stbvorbis.o" "$src/stbvorbis.c"
fi
build fuzz_ogg "$src/vorbisheaders.cpp" "$out/stbvorbis.o"

# Seeds: real files, and the heads of the tagged ones (the tag parser reads
# the front of a file).
seed() {
    local target=$1; shift
    mkdir -p "$out/corpus/$target"
    for f in "$@"; do
        [ -f "$f" ] && head -c 65536 "$f" >"$out/corpus/$target/seed-$(basename "$f")"
    done
    return 0
}
seed fuzz_wavheader "$WAKELOOM_BUILD"/sounds/*.wav "$WAKELOOM_BUILD"/testmedia/*.wav
seed fuzz_mpeg "$WAKELOOM_BUILD"/testmedia/*.mp3 "$WAKELOOM_BUILD"/conformance/*.mp3
seed fuzz_tags "$WAKELOOM_BUILD"/testmedia/*.mp3
seed fuzz_ogg "$WAKELOOM_BUILD"/testmedia/*.ogg "$WAKELOOM_BUILD"/conformance/*.ogg
seed fuzz_asx "$WAKELOOM_ROOT"/tests/fuzz/seeds/*.asx
seed fuzz_notifystore "$WAKELOOM_ROOT"/tests/fuzz/seeds/*.dat

status=0
for target in fuzz_wavheader fuzz_mpeg fuzz_tags fuzz_ogg fuzz_asx fuzz_notifystore; do
    if [ "$seconds" -gt 0 ]; then
        args=(-max_total_time="$seconds" -max_len=65536 -print_final_stats=1)
    else
        args=(-runs=0)
    fi
    if "$out/$target" "${args[@]}" "$out/corpus/$target" >"$out/$target.log" 2>&1; then
        echo "$target: $(grep -E '^Done|^stat::number_of_executed_units' "$out/$target.log" | tail -n 1)"
    else
        echo "$target: FAILED, see $out/$target.log"
        tail -n 30 "$out/$target.log"
        status=1
    fi
done
exit $status
