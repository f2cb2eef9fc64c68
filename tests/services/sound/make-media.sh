#!/usr/bin/env bash
# Makes the MP3 and OGG files the sound tests decode and read tags from,
# with Debian's encoders, from the default sounds of the build.
#   make-media.sh SOUNDS_FOLDER OUTPUT_FOLDER
set -euo pipefail
sounds=$1
out=$2
mkdir -p "$out"
lame=(lame --quiet --noreplaygain)
"${lame[@]}" -b 64 "$sounds/buzz.wav" "$out/plain.mp3"
"${lame[@]}" --resample 44.1 -b 96 "$sounds/CBell.wav" "$out/mpeg1.mp3"
"${lame[@]}" -b 64 --id3v2-only --tt "Morning Song" --ta "The Larks" --tl "Dawn Chorus" \
    "$sounds/buzz.wav" "$out/tagged.mp3"
"${lame[@]}" -b 64 --id3v1-only --tt "Short Title" --ta "Old Tagger" \
    "$sounds/buzz.wav" "$out/id3v1.mp3"
oggenc -Q -t "Evening Song" -a "The Owls" -l "Dusk" -o "$out/tagged.ogg" "$sounds/CBell.wav"
oggenc -Q -o "$out/plain.ogg" "$sounds/buzz.wav"
# More than two channels, and the one channel they must sound as: what
# oggdec decodes, its channels averaged.
for channels in 3 6; do
    tail -c +45 "$sounds/buzz.wav" | oggenc -Q --raw --raw-chan="$channels" --raw-rate=22050 \
        -o "$out/channels$channels.ogg" -
    oggdec -Q -o "$out/channels$channels.decoded.wav" "$out/channels$channels.ogg"
    sox -D "$out/channels$channels.decoded.wav" -c 1 "$out/channels$channels.mono.wav"
done
# WAV as recorders and editors write it (G.711, 24 and 32 bits, floating
# point, six channels), and the one 16-bit channel each must sound as: what
# sox decodes, its channels averaged.
noise=(synth 0.3 whitenoise vol 0.5)
sox -R -n -r 22050 -c 1 -b 16 "$out/lawsource.wav" "${noise[@]}"
for law in u-law a-law; do
    sox "$out/lawsource.wav" -e "$law" "$out/$law.wav"
done
sox -R -n -r 22050 -c 2 -b 24 "$out/pcm24.wav" "${noise[@]}"
sox -R -n -r 22050 -c 1 -b 32 "$out/pcm32.wav" "${noise[@]}"
sox -R -n -r 22050 -c 2 -e floating-point -b 32 "$out/float.wav" "${noise[@]}"
sox -R -n -r 22050 -c 6 -b 16 "$out/six.wav" "${noise[@]}"
for wav in u-law a-law pcm24 pcm32 float six; do
    sox -D "$out/$wav.wav" -c 1 -e signed-integer -b 16 "$out/$wav.mono.wav"
done
# Three tones for the sleep player, one of each kind, told apart in the
# capture by their pitch.
for hz in 440 880 1320; do
    sox -n -r 22050 -c 1 -b 16 "$out/tone$hz.wav" synth 1 sine "$hz" vol 0.5
done
"${lame[@]}" -b 64 --id3v2-only --tt "Dawn" --ta "The Larks" --tl "Morning" \
    "$out/tone880.wav" "$out/tone880.mp3"
oggenc -Q -t "Dusk" -a "The Owls" -l "Evening" -o "$out/tone1320.ogg" "$out/tone1320.wav"
