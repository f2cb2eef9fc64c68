#!/usr/bin/env bash
# Pending notifications outlive the death of the scheduler and of the
# wineserver itself: after a restart each is delivered, and none twice.
# Runs from CTest outside Wine, because it kills Wine.
set -uo pipefail
. "$(dirname "$0")/../../scripts/env.sh"

bin=$WAKELOOM_BUILD/bin
recorder="$bin/eventrecorder.exe"
log="$recorder.log"
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# Through a file, not a pipe: a scheduler started by the tool would inherit
# the pipe and keep the reader waiting for as long as it runs.
out=$(mktemp "$TMPDIR/notifytool.XXXXXX")
tool() { "$WINE" "$bin/notifytool.exe" "$@" >"$out" 2>/dev/null </dev/null; tr -d '\r' <"$out"; }
set_in() { tool set "$(winpath "$recorder")" "$1" "$2" 120 >/dev/null; }
count() { grep -c -x -F -- "$1" <(cut -d' ' -f2- "$log" 2>/dev/null) || true; }
wait_for() {  # wait_for ARGUMENT SECONDS
    local deadline=$((SECONDS + $2))
    while [ "$(count "$1")" -lt 1 ] && [ $SECONDS -lt $deadline ]; do sleep 0.2; done
}
failures=0
expect_once() {
    local n
    n=$(count "$1")
    if [ "$n" = 1 ]; then echo "ok: $1 delivered once"
    else echo "FAILED: $1 delivered $n times"; failures=$((failures + 1)); fi
}
scheduler_pid() { pgrep -f 'wklsched\.exe' | head -n1; }

tool clear-all
rm -f "$log"

echo "== the scheduler is killed while notifications are pending"
tool scheduler
for _ in $(seq 50); do [ -n "$(scheduler_pid)" ] && break; sleep 0.1; done
set_in killed-a 3
set_in killed-b 7
kill -9 "$(scheduler_pid)"
sleep 5  # killed-a comes due while nothing runs
[ "$(count killed-a)" = 0 ] || { echo "FAILED: delivered with no scheduler"; failures=$((failures + 1)); }
tool scheduler
wait_for killed-a 5
wait_for killed-b 8
sleep 2
expect_once killed-a
expect_once killed-b

echo "== the wineserver is killed while notifications are pending"
set_in server-a 3
set_in server-b 6
pkill -9 -x wineserver64 || pkill -9 -f wineserver
sleep 4
"$WINESERVER" -p >/dev/null 2>&1 </dev/null
tool scheduler
wait_for server-a 6
wait_for server-b 8
sleep 2
expect_once server-a
expect_once server-b
expect_once killed-a

pending=$(tool count)
[ "$pending" = 0 ] || { echo "FAILED: $pending notifications left pending"; failures=$((failures + 1)); }
rm -f "$log" "$out"
echo "$((4 - failures)) passed, $failures failed"
[ "$failures" = 0 ]
