# Sourced by the other scripts: one place for the build folder, the Wine
# prefix and the environment every Wine command must share.
WAKELOOM_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WAKELOOM_ROOT
export WAKELOOM_BUILD=${WAKELOOM_BUILD:-$WAKELOOM_ROOT/build}

export WINE=/usr/lib/wine/wine64
# Debian's wineserver wrapper forces -p0; the real binary keeps our choice.
export WINESERVER=/usr/lib/wine/wineserver64
export WINEARCH=win64
export WINEPREFIX=$WAKELOOM_BUILD/wineprefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Wine keys its server socket on TMPDIR: every command must see the same one.
export TMPDIR=$WAKELOOM_BUILD/tmp
# Sound goes to ALSA's file plugin so tests can read back what was played.
export ALSA_CONFIG_PATH=$WAKELOOM_BUILD/alsa/asound.conf
export WAKELOOM_CAPTURE=$WAKELOOM_BUILD/alsa/capture.wav

mkdir -p "$TMPDIR" "$WAKELOOM_BUILD/alsa"

# Ends every process of this prefix, also those a killed wineserver left
# behind: a stray one would keep the caller's output pipe open.
stop_prefix_processes() {
    "$WINESERVER" -k 2>/dev/null || true
    local pid
    for pid in $(ls /proc | grep -E '^[0-9]+$'); do
        case "$(readlink /proc/"$pid"/exe 2>/dev/null)" in
            /usr/lib/wine/*) ;;
            *) continue ;;
        esac
        if tr '\0' '\n' 2>/dev/null </proc/"$pid"/environ | grep -qx "WINEPREFIX=$WINEPREFIX"; then
            kill -9 "$pid" 2>/dev/null || true
        fi
    done
}
