# Sourced: a private PulseAudio with one null sink, the tests' real-time
# sound device (ALSA's pulse plugin reaches it). Everything it keeps is in
# $WAKELOOM_PULSE, never the user's ~/.config/pulse or runtime folder; it
# runs as root or as a user alike, and stop_pulse ends it by its id.
start_pulse() {
    # One that an interrupted run left, known by its id file.
    PULSE_PID=$(cat "$WAKELOOM_PULSE/pid" 2>/dev/null) || true
    stop_pulse
    local dir=$WAKELOOM_PULSE
    rm -rf "$dir"
    mkdir -p "$dir/home" "$dir/state"
    chmod 700 "$dir"
    echo "autospawn = no" >"$PULSE_CLIENTCONFIG"
    head -c 256 /dev/urandom >"$PULSE_COOKIE"
    HOME=$dir/home XDG_CONFIG_HOME=$dir/home XDG_RUNTIME_DIR=$dir PULSE_RUNTIME_PATH=$dir \
    PULSE_STATE_PATH=$dir/state DBUS_SESSION_BUS_ADDRESS=disabled: \
        pulseaudio -n --daemonize=no --system=no --exit-idle-time=-1 --use-pid-file=no \
            --realtime=no --high-priority=no --disallow-exit --log-target=file:"$dir/log" \
            -L "module-null-sink sink_name=wakeloom_tests" \
            -L "module-native-protocol-unix socket=$dir/native auth-anonymous=1 auth-cookie=$PULSE_COOKIE" \
            </dev/null >/dev/null 2>&1 &
    PULSE_PID=$!
    echo "$PULSE_PID" >"$dir/pid"
    local i
    for i in $(seq 100); do
        [ -S "$dir/native" ] && return 0
        kill -0 "$PULSE_PID" 2>/dev/null || break
        sleep 0.1
    done
    echo "PulseAudio did not start:" >&2
    cat "$dir/log" >&2 2>/dev/null
    return 1
}

# Ends the one started here, by its id, while that id is still a
# pulseaudio of this folder.
stop_pulse() {
    local pid=${PULSE_PID:-}
    PULSE_PID=
    [ -n "$pid" ] || return 0
    if tr '\0' ' ' </proc/"$pid"/cmdline 2>/dev/null | grep -q "^pulseaudio .*$WAKELOOM_PULSE/native"; then
        kill "$pid" 2>/dev/null
        local i
        for i in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -0 "$pid" 2>/dev/null && kill -9 "$pid" 2>/dev/null
    fi
    rm -f "$WAKELOOM_PULSE/pid"
    return 0
}
