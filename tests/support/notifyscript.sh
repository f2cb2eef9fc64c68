# Sourced by the shell tests of notifications (they kill Wine or move its
# clock, so they run outside it): the notify tool, the event recorder's log,
# the processes of the test's own prefix, a fake clock, and the counts.
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/env.sh"

bin=$WAKELOOM_BUILD/bin
recorder="$bin/eventrecorder.exe"
log="$recorder.log"
store_dir="$WINEPREFIX/drive_c/users/${USER:-$(id -un)}/AppData/Local/Wakeloom"
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# Every Wine command of the test goes through `clock`: empty, or the fake
# clock's environment. The shell itself keeps the real time.
clock=()
fake_clock_file=$TMPDIR/fake-clock
faketime_lib=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1

# Through a file, not a pipe: a scheduler started by the tool would inherit
# the pipe and keep the reader waiting for as long as it runs.
out=$(mktemp "$TMPDIR/notifytool.XXXXXX")
tool() {
    "${clock[@]}" "$WINE" "$bin/notifytool.exe" "$@" >"$out" 2>/dev/null </dev/null
    local rc=$?
    tr -d '\r' <"$out"
    return $rc
}
set_in() { tool set "$(winpath "$recorder")" "$1" "$2" "${3:-120}" >/dev/null; }
set_at() { tool at "$(winpath "$recorder")" "$1" "$2" "${3:-300}" >/dev/null; }
count() { grep -c -x -F -- "$1" <(cut -d' ' -f2- "$log" 2>/dev/null) || true; }
wait_for() {  # wait_for ARGUMENT SECONDS
    local deadline=$((SECONDS + $2))
    while [ "$(count "$1")" -lt 1 ] && [ $SECONDS -lt $deadline ]; do sleep 0.2; done
}
wine_reg() { "${clock[@]}" "$WINE" reg "$@" >/dev/null 2>&1 </dev/null; }
set_dword() { wine_reg add "$1" /v "$2" /t REG_DWORD /d "$3" /f; }
pending_at() { tool list | grep -q -x -E -- "[0-9]+ $1 $2"; }
wait_until() {  # wait_until SECONDS COMMAND...
    local deadline=$((SECONDS + $1))
    until "${@:2}"; do [ $SECONDS -lt $deadline ] || return 1; sleep 0.5; done
}
wakeloom_gone() { [ -z "$(prefix_pids 'Wakeloom\.exe')" ]; }
# Stops Wakeloom's ringing, answers its message box (its text in $box) and
# closes its window.
close_wakeloom() {
    box=$(tool close-wakeloom)
    wait_until 20 wakeloom_gone
}
scheduler_pid() { prefix_pids 'wklsched\.exe' | head -n1; }
start_scheduler() {
    tool scheduler
    local i
    for i in $(seq 100); do [ -n "$(scheduler_pid)" ] && return 0; sleep 0.1; done
    return 1
}
# Fails when a scheduler is still there after ten seconds.
kill_scheduler() {
    local pid deadline=$((SECONDS + 10))
    for pid in $(prefix_pids 'wklsched\.exe'); do kill -9 "$pid" 2>/dev/null; done
    while [ -n "$(scheduler_pid)" ] && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
    [ -z "$(scheduler_pid)" ]
}

passes=0
failures=0
pass() { echo "ok: $*"; passes=$((passes + 1)); }
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
expect() {  # expect DESCRIPTION COMMAND...
    if "${@:2}"; then pass "$1"; else fail "$1"; fi
}
expect_count() {  # expect_count ARGUMENT TIMES
    local n
    n=$(count "$1")
    if [ "$n" = "$2" ]; then pass "$1 started $n times"
    else fail "$1 started $n times, not $2"; fi
}
finish() {
    rm -f "$out"
    echo "$passes passed, $failures failed"
    [ "$failures" = 0 ]
}

# This prefix's wineserver, started anew with the current `clock`: the
# server keeps the time of timers and waits, so it must agree with the
# programs.
restart_wineserver() {
    "$WINESERVER" -k 2>/dev/null
    "$WINESERVER" -w 2>/dev/null
    # Not on our output: CTest waits for whoever holds it.
    "${clock[@]}" "$WINESERVER" -p >/dev/null 2>&1 </dev/null
}

# libfaketime in the server and every program of the prefix, all reading one
# offset ("+N" seconds) from a file on each call: a test moves the clock of
# every process at once by rewriting the file. The tick count is left real,
# as a machine's is when its clock is set.
start_fake_clock() {
    echo "+0" >"$fake_clock_file"
    clock=(env LD_PRELOAD="$faketime_lib" FAKETIME_TIMESTAMP_FILE="$fake_clock_file"
           FAKETIME_NO_CACHE=1 FAKETIME_DONT_FAKE_MONOTONIC=1 DONT_FAKE_MONOTONIC=1
           NO_FAKE_STAT=1 TZ="${1:-Europe/Berlin}")
    restart_wineserver
}
stop_fake_clock() {
    clock=()
    restart_wineserver
}
# set_clock "2027-03-28 01:59:50 CET": a local time of the fake clock's zone.
set_clock() {
    local target
    target=$(TZ=Europe/Berlin date -d "$1" +%s) || return 1
    printf '%+d\n' $((target - $(date +%s))) >"$fake_clock_file"
}
