#!/usr/bin/env bash
# Installs the built program into the current Wine prefix (the run command
# chooses the user's own): the program, the launcher, the scheduler, the help
# viewer with its page and the sounds in one program folder, and the install
# directory in the registry. The device's "\Windows" means that folder for
# our own programs, so nothing goes into the system's Windows folder.
set -euo pipefail
. "$(dirname "$0")/env.sh"
[ "${1:-}" = --user ] && use_user_prefix

bin=$WAKELOOM_BUILD/bin
dest="$WINEPREFIX/drive_c/Program Files/Wakeloom"
mkdir -p "$dest/sounds"
cp "$bin/Wakeloom.exe" "$bin/wklmgr.exe" "$bin/wklsched.exe" "$bin/peghelp.exe" "$bin/wkl.htp" \
    "$dest/"
if [ -d "$WAKELOOM_BUILD/sounds" ]; then
    cp "$WAKELOOM_BUILD/sounds/"* "$dest/sounds/" 2>/dev/null || true
fi
# An earlier install put these into the Windows folder. Its scheduler, still
# running, would ring the machine-wide store's alarms that this user's
# scheduler now rings from its copy: it is ended, and its files go.
for pid in $(prefix_pids 'indows.wklsched\.exe'); do
    kill "$pid" 2>/dev/null || true
done
for old in wklmgr.exe wklsched.exe peghelp.exe wkl.htp; do
    rm -f "$WINEPREFIX/drive_c/windows/$old"
done

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
