#!/usr/bin/env bash
# Builds Wakeloom, installs it into the Wine prefix as the device has it, and
# starts it on a 240x320 screen.
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
"$WAKELOOM_ROOT/scripts/wine-prefix.sh"
"$WAKELOOM_ROOT/scripts/install.sh"

program='C:\Program Files\Wakeloom\Wakeloom.exe'
if [ "$mode" = window ]; then
    exec "$WINE" "$program"
fi

cleanup() {
    "$WINESERVER" -k 2>/dev/null || true
    stop_xvfb
}
trap cleanup EXIT
"$WINESERVER" -k 2>/dev/null || true
start_xvfb 240x320x24
"$WINE" "$program" >"$WAKELOOM_BUILD/run.log" 2>&1 &
sleep 5
mkdir -p "$WAKELOOM_BUILD/screenshots"
shot=$WAKELOOM_BUILD/screenshots/wakeloom.png
import -display "$DISPLAY" -window root "$shot"
echo "Screenshot: $shot"
if [ "$mode" = headless ]; then
    echo "Wakeloom runs on $DISPLAY; Ctrl-C stops it."
    wait
fi
