#!/usr/bin/env bash
# Draws the README's pictures of the dialogs on a private Xvfb: each on the
# 240x320 screen and turned to 320x240, as PNG files in build/screenshots.
set -euo pipefail
. "$(dirname "$0")/env.sh"
. "$WAKELOOM_ROOT/scripts/xvfb.sh"

"$WAKELOOM_ROOT/scripts/build.sh"
"$WAKELOOM_ROOT/scripts/wine-prefix.sh"
start_wine_session 320x320x24
shots=$WAKELOOM_BUILD/screenshots
mkdir -p "$shots"
"$WAKELOOM_ROOT/scripts/wine-run.sh" "$WAKELOOM_BUILD/bin/shots.exe" "Z:${shots//\//\\}"
for bmp in "$shots"/*.bmp; do
    convert "$bmp" "${bmp%.bmp}.png"
    rm -f "$bmp"
done
ls "$shots"/*.png
