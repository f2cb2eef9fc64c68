#!/usr/bin/env bash
# Prints the CPU share of the running, idle Wakeloom over 60 s, read by the
# Linux kernel's accounting (/proc), outside Wine. Run by scripts/bench.sh,
# which provides the display and the wineserver.
set -euo pipefail
. "$(dirname "$0")/../scripts/env.sh"
seconds=${1:-60}

"$WINE" "$WAKELOOM_BUILD/bin/Wakeloom.exe" >/dev/null 2>&1 </dev/null &
pid=
for _ in $(seq 100); do
    pid=$(pgrep -f 'bin.Wakeloom\.exe' | head -n1 || true)
    [ -n "$pid" ] && break
    sleep 0.1
done
[ -n "$pid" ] || { echo "Wakeloom did not start"; exit 1; }
sleep 5  # past start-up
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
sleep "$seconds"
after=$(ticks)
kill "$pid" 2>/dev/null || true
awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" 'BEGIN {
    printf "idle Wakeloom.exe over %d s: %.0f ms of CPU, %.3f%% of one core (target: under 0.3%%)\n",
           s, 1000 * t / hz, 100 * t / hz / s }'
