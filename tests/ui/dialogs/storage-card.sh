#!/usr/bin/env bash
# Gives the test prefix a storage card: drive E: on a folder of the build,
# of the removable type, as a card in a handheld would be.
#   storage-card.sh insert|remove
set -euo pipefail
. "$(dirname "$0")/../../../scripts/env.sh"
card=$WAKELOOM_BUILD/card
case "$1" in
insert)
    mkdir -p "$card"
    ln -sfn "$card" "$WINEPREFIX/dosdevices/e:"
    "$WINE" reg add 'HKLM\Software\Wine\Drives' /v 'e:' /t REG_SZ /d floppy /f >/dev/null 2>&1
    # Wine's mount manager reads the drive types only as its services start:
    # restart the prefix's server so that the card is seen as removable.
    "$WINESERVER" -k >/dev/null 2>&1 || true
    "$WINESERVER" -w
    "$WINESERVER" -p </dev/null >/dev/null 2>&1
    ;;
remove)
    rm -f "$WINEPREFIX/dosdevices/e:"
    "$WINE" reg delete 'HKLM\Software\Wine\Drives' /v 'e:' /f >/dev/null 2>&1 || true
    rm -rf "$card"
    ;;
esac
