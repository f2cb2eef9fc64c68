# Sourced: starts a private Xvfb and exports DISPLAY; stop_xvfb ends it.
# start_wine_session does that and more for a whole run of Wine programs.
# A private display keeps tests and headless runs off any real desktop.
start_xvfb() {
    local size=${1:-640x480x24}
    local fifo
    fifo=$(mktemp -u "$TMPDIR/xvfb.XXXXXX")
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    XVFB_PID=$!
    local number
    read -r -t 15 number <"$fifo" || true
    rm -f "$fifo"
    if [ -z "${number:-}" ]; then
        echo "Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=":$number"
}

stop_xvfb() {
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
    XVFB_PID=
}

. "$(dirname "${BASH_SOURCE[0]}")/pulse.sh"

# A private display, the tests' sound server when their capture is in use,
# and one persistent wineserver for a run of Wine programs; everything of
# the prefix is ended on exit, also on Ctrl-C or a kill. Ends first what an
# earlier run left, which may hold another display.
start_wine_session() {
    trap 'stop_prefix_processes; stop_xvfb; stop_pulse' EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM HUP
    stop_prefix_processes
    start_xvfb "$@"
    if [ -n "${ALSA_CONFIG_PATH:-}" ]; then
        start_pulse
    fi
    "$WINESERVER" -p
}
