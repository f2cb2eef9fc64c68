#!/usr/bin/env bash
# The Windows installer run silently in the tests' prefix, as a person
# installs Wakeloom: everything in Program Files, a Start-menu shortcut, the
# scheduler running and started at each log-in, an entry in Apps &
# features; an alarm set through the installed program rings with the
# program closed; the uninstaller run silently leaves none of it and keeps
# the user's alarms. The alarm's minute comes by a fake clock (libfaketime
# in every process of the prefix), so this runs from CTest outside Wine.
set -uo pipefail
. "$(dirname "$0")/../support/notifyscript.sh"

installer=$(ls "$WAKELOOM_BUILD"/Wakeloom-*-setup.exe 2>/dev/null | head -n1)
folder="$WINEPREFIX/drive_c/Program Files/Wakeloom"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Wakeloom.lnk"
settings='HKCU\Software\Hazelmere\Wakeloom'
alarm="$settings\\Alarms\\0"
install_key='HKLM\Software\Apps\Hazelmere Software Wakeloom'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Wakeloom'
programs=(Wakeloom.exe wklmgr.exe wklsched.exe peghelp.exe wkl.htp sounds/buzz.wav sounds/CBell.wav
          sounds/CBuzzer.wav uninstall.exe)

reg_query() { "${clock[@]}" "$WINE" reg query "$@" 2>/dev/null </dev/null | tr -d '\r'; }
wine_start() { "${clock[@]}" "$WINE" "$@" >/dev/null 2>&1 </dev/null; }
all_installed() { local p; for p in "${programs[@]}"; do [ -f "$folder/$p" ] || return 1; done; }
none_left() { [ ! -e "$folder" ] && [ ! -e "$shortcut" ]; }
installed_scheduler() { prefix_pids 'Program Files.Wakeloom.wklsched\.exe' | head -n1; }
running() { [ -n "$(installed_scheduler)" ]; }
stopped() { [ -z "$(prefix_pids 'wklsched\.exe')" ]; }
wakeloom_runs() { [ -n "$(prefix_pids 'Wakeloom\.exe')" ]; }
# A capture file newer than the marker with a second of sound in it.
heard() { [ -n "$(find "$WAKELOOM_CAPTURE" -newer "$marker" -size +40k 2>/dev/null)" ]; }

[ -n "$installer" ] || { echo "FAILED: no installer in $WAKELOOM_BUILD"; exit 1; }
trap 'stop_fake_clock' EXIT
start_fake_clock Europe/Berlin
set_clock "2027-06-10 06:58:00"
kill_scheduler
tool clear-all
wine_reg delete "$settings" /f
wine_reg delete "${settings/HKCU/HKLM}" /f   # no earlier install's data to copy
# The device's \Windows must lead to the installed launcher, nothing else.
rm -f "$WINEPREFIX"/drive_c/windows/{wklmgr,wklsched,peghelp}.exe

echo "== installed silently"
wine_start "$installer" /S
expect "the programs, the help and the sounds are in Program Files" all_installed
expect "the install directory is written" eval \
    'reg_query "$install_key" /v InstlDir | grep -q "C:.Program Files.Wakeloom"'
expect "a Start-menu shortcut" [ -f "$shortcut" ]
expect "started at each log-in" eval \
    'reg_query "$run_key" | grep -q "Program Files.Wakeloom.wklsched\.exe"'
expect "listed in Apps & features with its uninstaller" eval \
    'reg_query "$uninstall_key" /v QuietUninstallString | grep -q "uninstall\.exe\" /S"'
expect "the installed scheduler runs" wait_until 20 running
# Each program's version, and its manifest asking to run as the user.
carry_info() {
    local p
    for p in Wakeloom wklmgr wklsched peghelp; do
        grep -q 'level="asInvoker"' "$folder/$p.exe" && strings -el "$folder/$p.exe" | grep -qx ProductVersion || return 1
    done
}
expect "each program carries its version and runs as the user" carry_info

echo "== an alarm set through the installed program rings with it closed"
set_dword "$alarm" AlarmOn 1
set_dword "$alarm" AThour 7
set_dword "$alarm" ATmin 0
set_dword "$alarm" Days 127
# A start by the user arms every alarm.
wine_start 'C:\Program Files\Wakeloom\Wakeloom.exe' &
expect "the alarm is requested for 07:00" wait_until 30 pending_at 2027-06-10T07:00:00 /ID:0
close_wakeloom
expect "Wakeloom closed" wakeloom_gone
marker=$(mktemp "$TMPDIR/marker.XXXXXX")
set_clock "2027-06-10 06:59:50"
expect "at 07:00 the scheduler starts Wakeloom" wait_until 40 wakeloom_runs
expect "and the alarm is heard" wait_until 20 heard
close_wakeloom
rm -f "$marker"

echo "== uninstalled silently"
# The uninstaller runs on from a copy of itself: its end is waited for.
wine_start "$folder/uninstall.exe" /S
expect "no program file or shortcut is left" wait_until 30 none_left
expect "no log-in entry" eval '! reg_query "$run_key" | grep -q wklsched'
expect "no running scheduler" wait_until 10 stopped
expect "gone from Apps & features" eval '! reg_query "$uninstall_key" >/dev/null'
expect "the user's alarms stay" eval 'reg_query "$alarm" /v AThour | grep -q 0x7'

wine_reg delete "$settings" /f
tool clear-all
finish
