#!/usr/bin/env bash
# Conformance of the sound library's MP3, OGG and WAV decoding: files made
# by lame, oggenc and sox in many modes are decoded by our decoders under
# Wine and compared with what Debian's reference decoders (mpg123, oggdec,
# sox) make of them: the same length, the samples within a few LSB, and the
# same again after a rewind.
set -euo pipefail
. "$(dirname "$0")/../../../scripts/env.sh"

dir=$WAKELOOM_BUILD/conformance
rm -rf "$dir"
mkdir -p "$dir"
cd "$dir"
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# Sources: stereo 44.1 kHz, a sweep on the left and noise on the right; the
# long one passes the codec's buffers many times.
for source in long:12 short:3; do
    sox -n -r 44100 -b 16 -c 2 "${source%:*}.wav" synth "${source#*:}" square 220-880 pinknoise \
        tremolo 5 60 gain -6
done

mp3() {  # NAME SOURCE LAME-OPTIONS...
    local name=$1 source=$2
    shift 2
    lame --quiet --noreplaygain "$@" "$source" "$name.mp3"
}
mp3 cbr128-12s long.wav -b 128
mp3 cbr192-12s long.wav -b 192
mp3 vbr2-12s long.wav -V 2
mp3 cbr32-mpeg1 short.wav -b 32 --resample 32
for kbps in 64 96 160 256 320; do mp3 "cbr$kbps" short.wav -b "$kbps"; done
mp3 vbr6 short.wav -V 6
mp3 abr112 short.wav --abr 112
mp3 mono short.wav -m m -b 64
for khz in 16 22.05 24; do mp3 "mpeg2-$khz" short.wav --resample "$khz" -b 64; done
for khz in 8 11.025 12; do mp3 "mpeg25-$khz" short.wav --resample "$khz" -b 32; done
mp3 crc short.wav -p -b 128
mp3 crc-mono short.wav -p -m m -b 64
mp3 crc-mpeg2 short.wav -p --resample 22.05 -b 64
mp3 no-info-frame short.wav -t -b 128
mp3 id3v2 short.wav -b 128 --id3v2-only --tt "Title" --ta "Artist"
mp3 id3v1 short.wav -b 128 --id3v1-only --tt "Title"
mp3 free-format short.wav --freeformat -b 256
# Two files joined end to end: the second part's Info frame is heard as a
# frame of audio, and its delay and padding stay, as mpg123 plays it.
cat cbr160.mp3 abr112.mp3 >joined.mp3
oggenc -Q -q 3 -o q3.ogg short.wav
oggenc -Q -q 9 -o q9-12s.ogg long.wav
oggenc -Q -q 0 --downmix --resample 22050 -o mono-22k.ogg short.wav

# WAV of 8 bits, unsigned, in stereo at 11 kHz: sox widens it to 16 bits as
# the decoder must.
sox short.wav -r 11025 -b 8 -e unsigned-integer u8-stereo.wav
sox u8-stereo.wav -b 16 -e signed-integer u8-stereo.wav.wav

for f in *.mp3; do mpg123 -q -w "$f.wav" "$f"; done
for f in *.ogg; do oggdec -Q -o "$f.wav" "$f"; done
# Of a chained OGG only the first stream plays, and cleanly.
cat q3.ogg mono-22k.ogg >chained.ogg
cp q3.ogg.wav chained.ogg.wav
"$WAKELOOM_ROOT/scripts/wine-run.sh" "$WAKELOOM_BUILD/bin/sound_conformance.exe" "$(winpath "$dir")" \
    *.mp3 *.ogg u8-stereo.wav
