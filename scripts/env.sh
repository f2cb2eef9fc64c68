# Sourced by the other scripts: one place for the build folder, the Wine
# prefix and the environment every Wine command must share.
WAKELOOM_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WAKELOOM_ROOT
export WAKELOOM_BUILD=${WAKELOOM_BUILD:-$WAKELOOM_ROOT/build}

# What the caller had, before the tests' prefix is chosen below.
WAKELOOM_USER_WINEPREFIX=${WAKELOOM_USER_WINEPREFIX-${WINEPREFIX:-}}

export WINE=/usr/lib/wine/wine64
# Debian's wineserver wrapper forces -p0; the real binary keeps our choice.
export WINESERVER=/usr/lib/wine/wineserver64
export WINEARCH=win64
export WINEPREFIX=$WAKELOOM_BUILD/wineprefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Wine keys its server socket on TMPDIR: every command must see the same one.
export TMPDIR=$WAKELOOM_BUILD/tmp
# Sound goes to ALSA's file plugin so tests can read back what was played,
# one file a stream in the capture folder; its slave is a private
# PulseAudio null sink, which takes it in real time.
export ALSA_CONFIG_PATH=$WAKELOOM_BUILD/alsa/asound.conf
export WAKELOOM_CAPTURE=$WAKELOOM_BUILD/alsa/capture
WAKELOOM_PULSE=$WAKELOOM_BUILD/pulse
export PULSE_SERVER=unix:$WAKELOOM_PULSE/native
# No autospawn and no cookie of the user's: nothing under ~/.config/pulse.
export PULSE_CLIENTCONFIG=$WAKELOOM_PULSE/client.conf
export PULSE_COOKIE=$WAKELOOM_PULSE/cookie

mkdir -p "$TMPDIR" "$WAKELOOM_BUILD/alsa"


# The ids of this prefix's Wine processes, those whose command line matches
# the extended regular expression PATTERN when one is given. Other prefixes
# on the machine (another worktree's tests, the user's clock) are not ours.
prefix_pids() {
    local pid
    for pid in $(ls /proc | grep -E '^[0-9]+$'); do
        case "$(readlink /proc/"$pid"/exe 2>/dev/null)" in
            /usr/lib/wine/*) ;;
            *) continue ;;
        esac
        tr '\0' '\n' 2>/dev/null </proc/"$pid"/environ | grep -qx "WINEPREFIX=$WINEPREFIX" || continue
        if [ -n "${1:-}" ]; then
            tr '\0' ' ' 2>/dev/null </proc/"$pid"/cmdline | grep -qE -- "$1" || continue
        fi
        echo "$pid"
    done
}

# Ends every process of this prefix, also those a killed wineserver left
# behind: a stray one would keep the caller's output pipe open.
stop_prefix_processes() {
    "$WINESERVER" -k 2>/dev/null || true
    local pid
    for pid in $(prefix_pids); do
        kill -9 "$pid" 2>/dev/null || true
    done
}

# The run command's environment: the user's own prefix outside the build
# folder (WINEPREFIX when the caller set one, else under the XDG data
# folder), which no test touches and no clean build wipes, and sound through
# the desktop's default device, never the tests' capture.
use_user_prefix() {
    local data=${XDG_DATA_HOME:-$HOME/.local/share}/wakeloom
    export WINEPREFIX=${WAKELOOM_USER_WINEPREFIX:-$data/wineprefix}
    export TMPDIR=$data/tmp
    unset ALSA_CONFIG_PATH WAKELOOM_CAPTURE PULSE_SERVER PULSE_CLIENTCONFIG PULSE_COOKIE
    mkdir -p "$TMPDIR"
}

# The desktop's autostart entry for the scheduler of the current prefix,
# with the environment of the session (and so its sound), not the tests'.
write_autostart_entry() {
    local autostart=${XDG_CONFIG_HOME:-$HOME/.config}/autostart
    mkdir -p "$autostart"
    cat > "$autostart/wakeloom-scheduler.desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=Wakeloom alarm notifications
Exec=env -u ALSA_CONFIG_PATH -u WAKELOOM_CAPTURE -u PULSE_SERVER -u PULSE_CLIENTCONFIG -u PULSE_COOKIE WINEPREFIX=$WINEPREFIX TMPDIR=$TMPDIR WINEDEBUG=-all $WINE "$WINEPREFIX/drive_c/Program Files/Wakeloom/wklsched.exe"
NoDisplay=true
X-GNOME-Autostart-enabled=true
DESKTOP
}

# The desktop's application-menu entry for Wakeloom in the current prefix,
# with the session's environment like the autostart entry, and its icon
# drawn from the program's own (build/bitmaps/wakeloom.ico).
write_desktop_entry() {
    local data=${XDG_DATA_HOME:-$HOME/.local/share} size image
    # The .ico's images are 16, 24, 32, 48, 64 and 256 pixels, from 0.
    for size in 48:3 256:5; do
        image=${size#*:} size=${size%:*}
        mkdir -p "$data/icons/hicolor/${size}x$size/apps"
        convert "$WAKELOOM_BUILD/bitmaps/wakeloom.ico[$image]" "$data/icons/hicolor/${size}x$size/apps/wakeloom.png"
    done
    mkdir -p "$data/applications"
    cat > "$data/applications/wakeloom.desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=Wakeloom
GenericName=Alarm clock
Comment=Alarms that ring on time, a countdown, an hourly chime and music to fall asleep to
Exec=env -u ALSA_CONFIG_PATH -u WAKELOOM_CAPTURE -u PULSE_SERVER -u PULSE_CLIENTCONFIG -u PULSE_COOKIE WINEPREFIX=$WINEPREFIX TMPDIR=$TMPDIR WINEDEBUG=-all $WINE "$WINEPREFIX/drive_c/Program Files/Wakeloom/Wakeloom.exe"
Icon=wakeloom
Terminal=false
Categories=Utility;Clock;
StartupWMClass=wakeloom.exe
DESKTOP
}
