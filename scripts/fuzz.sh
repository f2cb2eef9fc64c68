#!/usr/bin/env bash
# Builds the fuzz targets of the sound library's parsers natively with clang
# (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) and runs them.
#   scripts/fuzz.sh                  every target once over its seed corpus
#   scripts/fuzz.sh --long SECONDS   each target for SECONDS, growing its corpus
# Seeds are made from the build's sounds and test media (run the tests first).
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
flags=(-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I"$src"
       -I"$WAKELOOM_ROOT/platform" -I"$WAKELOOM_ROOT/src/media" -I"$WAKELOOM_ROOT/src/sound")
build() {
    local target=$1; shift
    if [ ! -x "$out/$target" ] || [ -n "$(find "$WAKELOOM_ROOT/tests/fuzz/$target.cpp" "$@" -newer "$out/$target")" ]; then
        clang++ "${flags[@]}" -o "$out/$target" "$WAKELOOM_ROOT/tests/fuzz/$target.cpp" "$@"
    fi
}
build fuzz_wavheader "$src/wavheader.cpp"
build fuzz_mpeg "$src/mpegaudio.cpp"
build fuzz_tags "$src/soundtags.cpp" "$src/mpegaudio.cpp" "$WAKELOOM_ROOT/src/sound/tagtext.cpp"
build fuzz_asx "$WAKELOOM_ROOT/src/media/asxscanner.cpp"
build fuzz_notifystore "$WAKELOOM_ROOT/platform/notifyrecord.cpp"

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
seed fuzz_wavheader "$WAKELOOM_BUILD"/sounds/*.wav
seed fuzz_mpeg "$WAKELOOM_BUILD"/testmedia/*.mp3
seed fuzz_tags "$WAKELOOM_BUILD"/testmedia/*.mp3
seed fuzz_asx "$WAKELOOM_ROOT"/tests/fuzz/seeds/*.asx
seed fuzz_notifystore "$WAKELOOM_ROOT"/tests/fuzz/seeds/*.dat

status=0
for target in fuzz_wavheader fuzz_mpeg fuzz_tags fuzz_asx fuzz_notifystore; do
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
