#!/usr/bin/env bash
# Builds Wakeloom, installs it as the device has it into a Wine prefix of the
# user's own (WINEPREFIX, else ~/.local/share/wakeloom/wineprefix; the tests
# never touch it), and starts it on a 240x320 screen, its sound through the
# desktop's default device.
#   scripts/run.sh            in a desktop session: the clock in a window
#   scripts/run.sh --headless on a private Xvfb: writes a screenshot and keeps
#                             running until Ctrl-C (no DISPLAY implies this)
#   scripts/run.sh --shot     headless, screenshot, then stop
set -euo pipefail
. "$(dirname "$0")/env.sh"
. "$WAKELOOM_ROOT/scripts/xvfb.sh"

mode=window
case "${1:-}" in
    --headless) mode=headless ;;
    --shot) mode=shot ;;
    "") [ -n "${DISPLAY:-}" ] || mode=headless ;;
    *) echo "usage: $0 [--headless|--shot]" >&2; exit 2 ;;
esac

"$WAKELOOM_ROOT/scripts/build.sh"
use_user_prefix
export WAKELOOM_USER_WINEPREFIX=$WINEPREFIX
"$WAKELOOM_ROOT/scripts/wine-prefix.sh" --user
"$WAKELOOM_ROOT/scripts/install.sh" --user

program='C:\Program Files\Wakeloom\Wakeloom.exe'
if [ "$mode" = window ]; then
    exec "$WINE" "$program"
fi

# A square screen holds the 240x320 desktop in both orientations.
start_wine_session 320x320x24
"$WINE" "$program" >"$WAKELOOM_BUILD/run.log" 2>&1 &
sleep 5
shots=$WAKELOOM_BUILD/screenshots
mkdir -p "$shots"
# The Wine desktop sits at the top left of the X screen.
import -display "$DISPLAY" -window root -crop 240x320+0+0 +repage "$shots/portrait.png"
# Turned as a handheld is turned: the clock lays itself out anew.
"$WINE" "$WAKELOOM_BUILD/bin/turnscreen.exe" 320 240
sleep 3
import -display "$DISPLAY" -window root -crop 320x240+0+0 +repage "$shots/landscape.png"
"$WINE" "$WAKELOOM_BUILD/bin/turnscreen.exe" 240 320
echo "Screenshots: $shots/portrait.png $shots/landscape.png"
if [ "$mode" = headless ]; then
    echo "Wakeloom runs on $DISPLAY; Ctrl-C stops it."
    wait
fi
