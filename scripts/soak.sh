#!/usr/bin/env bash
# Soak of the notification chain: COUNT notifications (default 240) due over
# MINUTES (default 20), each starting the launcher with its own event number,
# which starts a stand-in Wakeloom (the event recorder, installed as
# Wakeloom.exe) that logs it; meanwhile the scheduler, the launcher, the
# stand-in and the Wine server are killed at random moments. Prints what was
# delivered, lost and started twice, and the kills; fails when one was lost or
# more were started twice than there were kills. Uses the tests' prefix.
#   scripts/soak.sh [MINUTES] [COUNT]
set -uo pipefail
. "$(dirname "$0")/env.sh"
. "$WAKELOOM_ROOT/scripts/xvfb.sh"
minutes=${1:-20}
total=${2:-240}

"$WAKELOOM_ROOT/scripts/build.sh"
"$WAKELOOM_ROOT/scripts/wine-prefix.sh"
start_wine_session
. "$WAKELOOM_ROOT/tests/support/notifyscript.sh"

install="$WINEPREFIX/drive_c/soak"
mkdir -p "$install"
cp "$bin/eventrecorder.exe" "$install/Wakeloom.exe"
soaklog="$install/Wakeloom.exe.log"
rm -f "$soaklog" "$store_dir/notifications.log"
tool clear-all
"$WINE" reg add 'HKLM\Software\Apps\Hazelmere Software Wakeloom' /v InstlDir /t REG_SZ \
    /d 'C:\soak' /f >/dev/null 2>&1
start_scheduler

echo "Setting $total notifications due over $minutes minutes"
lead=$((total / 3 + 30))   # setting them takes about a third of a second each
spacing=$((minutes * 60 * 1000 / total))
for i in $(seq 0 $((total - 1))); do
    due=$(((lead * 1000 - SECONDS * 1000 + i * spacing) / 1000))
    tool set '\Windows\wklmgr.exe' "/ID:$((1000 + i))" "$due" $((due + 300)) >/dev/null \
        || echo "could not set $i"
done
end=$((SECONDS + minutes * 60 + lead))

declare -A kills=() hits=()
victims=(scheduler launcher wakeloom wineserver)
while [ $SECONDS -lt "$end" ]; do
    sleep $((10 + RANDOM % 30))
    victim=${victims[RANDOM % 4]}
    case $victim in
        scheduler) pids=$(prefix_pids 'wklsched\.exe') ;;
        launcher) pids=$(prefix_pids 'wklmgr\.exe') ;;
        wakeloom) pids=$(prefix_pids 'Wakeloom\.exe') ;;
        wineserver) pids=$(prefix_pids 'wineserver') ;;
    esac
    kills[$victim]=$((${kills[$victim]:-0} + 1))
    [ -n "$pids" ] && hits[$victim]=$((${hits[$victim]:-0} + 1))
    for pid in $pids; do kill -9 "$pid" 2>/dev/null; done
    if [ "$victim" = wineserver ]; then
        sleep 2
        "$WINESERVER" -p >/dev/null 2>&1 </dev/null
    fi
    [ "$victim" = scheduler ] && sleep $((RANDOM % 10))
    start_scheduler || echo "the scheduler did not start again"
done
sleep 60   # the last ones, and any late restart

delivered=0 lost=0 twice=0 missed=0
for i in $(seq 0 $((total - 1))); do
    n=$(tr -d '\r' <"$soaklog" | cut -d' ' -f2- | grep -c -x -E "/(ID|MISSED):$((1000 + i))" || true)
    m=$(tr -d '\r' <"$soaklog" | cut -d' ' -f2- | grep -c -x "/MISSED:$((1000 + i))" || true)
    [ "$n" -ge 1 ] && delivered=$((delivered + 1)) || lost=$((lost + 1))
    [ "$n" -gt 1 ] && twice=$((twice + n - 1))
    missed=$((missed + m))
done
allkills=0
for v in "${victims[@]}"; do
    echo "kills of the $v: ${kills[$v]:-0} (${hits[$v]:-0} found it running)"
    allkills=$((allkills + ${hits[$v]:-0}))
done
echo "notifications: $total, delivered: $delivered, lost: $lost, started twice: $twice," \
     "delivered as missed: $missed, still pending: $(tool count)"
ok=1
[ "$lost" = 0 ] || ok=0
[ "$twice" -le "$allkills" ] || ok=0
[ $ok = 1 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
[ $ok = 1 ]
