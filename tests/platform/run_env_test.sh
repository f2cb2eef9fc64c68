#!/usr/bin/env bash
# The run command's environment: the user's own Wine prefix outside the
# build folder, and sound through the desktop's default device rather than
# the tests' capture; the same for the scheduler's autostart entry.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
home=$(mktemp -d -p /tmp wakeloom-home.XXXXXX)  # not under the build folder
trap 'rm -rf "$home"' EXIT
passes=0
failures=0
# Each line of CONDITION must hold (set -e), in a shell with the run
# command's setup.
check() {  # check DESCRIPTION CONDITION
    if env -i HOME="$home" PATH="$PATH" ${caller_prefix:+WINEPREFIX=$caller_prefix} bash -c "
            set -e; . '$root/scripts/env.sh'; build_prefix=\$WINEPREFIX; use_user_prefix
            $2"; then
        echo "ok: $1"; passes=$((passes + 1))
    else
        echo "FAILED: $1"; failures=$((failures + 1))
    fi
}

caller_prefix=
check "the prefix is the user's, outside the build folder" \
    '[ "$WINEPREFIX" = "$HOME/.local/share/wakeloom/wineprefix" ]
     [ "$WINEPREFIX" != "$build_prefix" ]
     case "$WINEPREFIX$TMPDIR" in "$WAKELOOM_BUILD"*) exit 1 ;; esac'
check "no sound capture is selected" \
    '[ -z "$(env | grep -E "^(ALSA_CONFIG_PATH|WAKELOOM_CAPTURE|PULSE_[A-Z]*)=")" ]'
check "the autostart entry starts the user's scheduler without the capture" \
    'write_autostart_entry; entry=$HOME/.config/autostart/wakeloom-scheduler.desktop
     grep -q "^Exec=env -u ALSA_CONFIG_PATH -u WAKELOOM_CAPTURE -u PULSE_SERVER -u PULSE_CLIENTCONFIG -u PULSE_COOKIE WINEPREFIX=$WINEPREFIX " "$entry"
     ! grep -qE "alsa|capture|pulse/|$WAKELOOM_BUILD" "$entry"'
check "the run command prepares and installs into that prefix" \
    'grep -q "^use_user_prefix" "$WAKELOOM_ROOT/scripts/run.sh"
     grep -q "wine-prefix.sh\" --user" "$WAKELOOM_ROOT/scripts/run.sh"
     grep -q "install.sh\" --user" "$WAKELOOM_ROOT/scripts/run.sh"'
caller_prefix=$home/mine
check "a WINEPREFIX of the caller is kept" '[ "$WINEPREFIX" = "$HOME/mine" ]'

echo "$passes passed, $failures failed"
[ "$failures" = 0 ]
