#!/usr/bin/env bash
# Creates and configures the tests' Wine prefix inside the build folder, or
# with --user the run command's prefix of the user (idempotent): a 240x320
# virtual desktop like the device's screen, crashes that fail fast instead of
# opening a debugger dialog; for the tests, ALSA sound written to a file
# as the private PulseAudio plays it.
set -euo pipefail
. "$(dirname "$0")/env.sh"
[ "${1:-}" = --user ] && use_user_prefix

# ALSA's own configuration without the files it loads first (the
# machine's and the user's, among them the one that sends the default
# device to any PulseAudio that runs): only ours decides where sound goes.
# Each stream gets a file of its own, named by when it opened: one that
# ends while the next begins cannot write into the next one's file.
if [ -n "${ALSA_CONFIG_PATH:-}" ]; then
    mkdir -p "$WAKELOOM_CAPTURE"
    cat > "$WAKELOOM_BUILD/alsa/capture.sh" <<CAPTURE
#!/bin/sh
exec cat > "$WAKELOOM_CAPTURE/\$(date +%s%N)-\$\$.wav"
CAPTURE
    chmod +x "$WAKELOOM_BUILD/alsa/capture.sh"
    awk '/^@hooks \[/ { skip = 1 } !skip { print } skip && /^\]/ { skip = 0 }' \
        /usr/share/alsa/alsa.conf >"$WAKELOOM_BUILD/alsa/alsa.conf"
    cat > "$ALSA_CONFIG_PATH" <<ALSA
<$WAKELOOM_BUILD/alsa/alsa.conf>
pcm.!default {
    type file
    slave.pcm {
        type pulse
        server "$PULSE_SERVER"
    }
    file "|exec '$WAKELOOM_BUILD/alsa/capture.sh'"
    format "wav"
}
ctl.!default {
    type hw
    card 0
}
ALSA
fi

marker=$WINEPREFIX/.wakeloom-configured
[ -f "$marker" ] && exit 0

echo "Creating the Wine prefix in $WINEPREFIX"
mkdir -p "$WINEPREFIX"
DISPLAY= "$WINE" wineboot -i >"$WAKELOOM_BUILD/wineboot.log" 2>&1 || {
    cat "$WAKELOOM_BUILD/wineboot.log"; exit 1; }

reg=$TMPDIR/prefix.reg
cat > "$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="240x320"

[HKEY_CURRENT_USER\Software\Wine\Drivers]
"Audio"="alsa"
REG
DISPLAY= "$WINE" regedit /S "$(cd "$(dirname "$reg")" && pwd)/prefix.reg" >/dev/null 2>&1
"$WINESERVER" -w
touch "$marker"
