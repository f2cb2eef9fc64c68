#!/usr/bin/env bash
# The application-menu entry that the run command's install writes: its Exec
# line starts the clock in the prefix it was installed into, and its icon is
# the program's own. The tests' prefix stands for the user's, under a home
# of the test's own, so the user's menu and autostart are never touched.
set -uo pipefail
. "$(dirname "$0")/../support/notifyscript.sh"

home=$(mktemp -d "$TMPDIR/home.XXXXXX")
folder="$WINEPREFIX/drive_c/Program Files/Wakeloom"
# The clock starts the installed scheduler, which goes with the folder.
trap 'kill_scheduler; rm -rf "$home" "$folder"' EXIT
export HOME=$home XDG_DATA_HOME=$home/share XDG_CONFIG_HOME=$home/config
"$WAKELOOM_ROOT/scripts/install.sh" >/dev/null
entry=$XDG_DATA_HOME/applications/wakeloom.desktop
command=$(sed -n 's/^Exec=//p' "$entry" 2>/dev/null)
icon=$XDG_DATA_HOME/icons/hicolor/256x256/apps/wakeloom.png

expect "the entry runs Wine in this prefix" eval '[[ "$command" == *"WINEPREFIX=$WINEPREFIX "* ]]'
expect "its icon is the program's, 256 pixels square" \
    eval '[ "$(identify -format %wx%h "$icon" 2>/dev/null)" = 256x256 ] && grep -qx "Icon=wakeloom" "$entry"'
eval "$command" >/dev/null 2>&1 </dev/null &
expect "its Exec line starts the clock: the window is there" wait_until 30 tool close-wakeloom
expect "and closes" wait_until 20 wakeloom_gone
finish
