#!/usr/bin/env bash
# Pending notifications outlive the death of the scheduler and of the
# wineserver itself: after a restart each is delivered, and none twice; a
# kill in the middle of a batch starts at most the one being started twice.
# Runs from CTest outside Wine, because it kills Wine; it kills only its own
# prefix's processes, by their ids.
set -uo pipefail
. "$(dirname "$0")/../support/notifyscript.sh"

tool clear-all
rm -f "$log" "$store_dir/notifications.log"

# Waits: the clock passing a due time; the store emptied, which follows the
# end of every program started, so a count taken then is final.
pass_time() { while [ "$EPOCHSECONDS" -lt "$1" ]; do sleep 0.2; done; }
settled() {
    local deadline=$((SECONDS + 20))
    until [ "$(tool count)" = 0 ] || [ $SECONDS -ge $deadline ]; do sleep 0.3; done
}

echo "== the scheduler is killed while notifications are pending"
start_scheduler
t0=$EPOCHSECONDS
set_in killed-a 3
set_in killed-b 7
kill_scheduler
pass_time $((t0 + 5))  # killed-a comes due while nothing runs
expect "nothing delivered without a scheduler" [ "$(count killed-a)" = 0 ]
start_scheduler
wait_for killed-a 5
wait_for killed-b 8
settled
expect_count killed-a 1
expect_count killed-b 1

echo "== the wineserver is killed while notifications are pending"
t0=$EPOCHSECONDS
set_in server-a 3
set_in server-b 6
for pid in $(prefix_pids 'wineserver'); do kill -9 "$pid"; done
deadline=$((SECONDS + 10))
while [ -n "$(prefix_pids 'wineserver')" ] && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
pass_time $((t0 + 4))  # server-a comes due while no server runs
"$WINESERVER" -p >/dev/null 2>&1 </dev/null
start_scheduler
wait_for server-a 6
wait_for server-b 8
settled
expect_count server-a 1
expect_count server-b 1
expect_count killed-a 1

echo "== the scheduler is killed in the middle of a batch of twenty"
at=$(date -d '+12 sec' +%Y-%m-%dT%H:%M:%S)   # Wine's local time is the host's
for i in $(seq 20); do set_at "batch-$i" "$at" 120; done
# The scheduler's own log tells what it has started so far.
started() { local n; n=$(grep -c ' started .*batch-' "$store_dir/notifications.log" 2>/dev/null); echo "${n:-0}"; }
victim=$(scheduler_pid)   # found beforehand: looking through /proc takes a while
deadline=$((SECONDS + 30))
while [ "$(started)" -lt 3 ] && [ $SECONDS -lt $deadline ]; do sleep 0.01; done
kill -9 "$victim"
before=$(started)
kill_scheduler
expect "killed in the middle of the batch, after $before starts" [ "$before" -lt 20 ]
start_scheduler
distinct() { cut -d' ' -f2- "$log" | grep '^batch-' | sort -u | wc -l; }
deadline=$((SECONDS + 30))
while [ "$(distinct)" -lt 20 ] && [ $SECONDS -lt $deadline ]; do sleep 0.2; done
settled
twice=0
for i in $(seq 20); do
    n=$(count "batch-$i")
    [ "$n" -ge 1 ] || fail "batch-$i lost"
    [ "$n" -le 1 ] || twice=$((twice + n - 1))
done
expect "all twenty delivered after the kill, $twice started twice" \
    [ "$twice" -le 1 ]

pending=$(tool count)
expect "nothing left pending" [ "$pending" = 0 ]
rm -f "$log"
finish
