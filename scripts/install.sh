#!/usr/bin/env bash
# Installs the built program into the current Wine prefix (the run command
# chooses the user's own) where the device keeps it: the program and its
# sounds in a program folder, the launcher, the scheduler and the help in
# \Windows, and the install directory in the registry.
set -euo pipefail
. "$(dirname "$0")/env.sh"
[ "${1:-}" = --user ] && use_user_prefix

bin=$WAKELOOM_BUILD/bin
dest="$WINEPREFIX/drive_c/Program Files/Wakeloom"
mkdir -p "$dest/sounds"
cp "$bin/Wakeloom.exe" "$dest/"
if [ -d "$WAKELOOM_BUILD/sounds" ]; then
    cp "$WAKELOOM_BUILD/sounds/"* "$dest/sounds/" 2>/dev/null || true
fi
# The launcher, the scheduler, and the help viewer with its page, where the
# device keeps them.
cp "$bin/wklmgr.exe" "$bin/wklsched.exe" "$bin/peghelp.exe" "$bin/wkl.htp" \
    "$WINEPREFIX/drive_c/windows/"

# The notification scheduler starts with the Linux desktop session, so alarms
# ring after a log-in even before Wakeloom is opened. (Under Windows it
# registers itself in the Run key.)
write_autostart_entry
# Wakeloom itself starts from the desktop's application menu.
write_desktop_entry

# Written as the device writes it: rooted at a backslash, on the system drive.
"$WINE" reg add 'HKLM\Software\Apps\Hazelmere Software Wakeloom' /v InstlDir /t REG_SZ \
    /d '\Program Files\Wakeloom' /f >/dev/null 2>&1
echo "Installed into $dest"
