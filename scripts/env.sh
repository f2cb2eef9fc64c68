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
