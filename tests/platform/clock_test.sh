#!/usr/bin/env bash
# The wall clock moved under the running scheduler, and the scheduler down
# across due times, in Europe/Berlin: a notification is late by the real
# time since it was due, not by how far the clock moved; one skipped by a
# jump starts at once, one set back neither repeats nor is lost; one long
# past its end reaches Wakeloom as missed, which sets what comes next.
# Every process of the prefix, the wineserver's included, reads one fake
# clock (libfaketime). Runs from CTest outside Wine.
set -uo pipefail
. "$(dirname "$0")/../support/notifyscript.sh"

launcher='\Windows\wklmgr.exe'
settings='HKCU\Software\Hazelmere\Wakeloom'
# Starts of Wakeloom's events as the scheduler logged them, from line $mark on.
starts() { tail -n +"$mark" "$store_dir/notifications.log" 2>/dev/null | tr -d '\r' | grep -c -E -- " started .*: [^ ]+ $1\$" || true; }

trap 'stop_fake_clock' EXIT
start_fake_clock Europe/Berlin
set_clock "2027-06-10 09:59:00"
wine_reg delete "${settings/HKCU/HKLM}" /f   # no earlier install's data to copy
tool clear-all
rm -f "$log" "$store_dir/notifications.log"
wine_reg delete "$settings" /f
wine_reg add 'HKLM\Software\Apps\Hazelmere Software Wakeloom' /v InstlDir /t REG_SZ /d "$(winpath "$bin")" /f
start_scheduler

echo "== the clock jumps forward across a pending notification"
set_clock "2027-06-10 10:00:00"
set_at forward 2027-06-10T10:30:00
set_at forward-sentinel 2027-06-10T11:00:08
set_clock "2027-06-10 11:00:00"
wait_for forward-sentinel 30
expect_count forward 1

echo "== the clock is set back an hour"
set_clock "2027-06-10 12:00:00"
set_at back-done 2027-06-10T12:00:05
set_at back-pending 2027-06-10T12:00:40
wait_for back-done 20
set_clock "2027-06-10 11:00:10"
set_at back-sentinel 2027-06-10T11:00:20
wait_for back-sentinel 30
expect_count back-done 1
expect "back-pending still pending, not started early" pending_at 2027-06-10T12:00:40 back-pending
expect_count back-pending 0
set_clock "2027-06-10 12:00:30"
wait_for back-pending 30
expect_count back-pending 1
expect_count back-done 1

echo "== the autumn night: an alarm at 02:30 rings once"
set_clock "2027-10-31 02:29:50 CEST"
set_at autumn 2027-10-31T02:30:00
wait_for autumn 30
set_clock "2027-10-31 02:29:55 CET"
set_at autumn-sentinel 2027-10-31T02:30:10
wait_for autumn-sentinel 40
expect_count autumn 1

echo "== the spring-forward night: the chime at 02:00:01 and the one after it"
set_dword "$settings" Chime 1
set_dword "$settings" Silenced 1   # only the rescheduling is looked at
mark=$(($(wc -l <"$store_dir/notifications.log") + 1))
set_clock "2027-03-28 01:59:45 CET"
set_dword "$settings" ChimeHandle "$(tool at "$launcher" /ID:255 2027-03-28T02:00:01 300)"
expect "the 02:00:01 chime delivered" wait_until 40 eval '[ "$(starts /ID:255)" -ge 1 ]'
expect "the next one pending at 04:00:01" wait_until 30 pending_at 2027-03-28T04:00:01 /ID:255
set_clock "2027-03-28 03:59:50 CEST"
expect "the 04:00:01 chime delivered" wait_until 40 eval '[ "$(starts /ID:255)" -ge 2 ]'
expect "the one after pending at 05:00:01" wait_until 30 pending_at 2027-03-28T05:00:01 /ID:255
expect "none of them late" [ "$(starts '/EXPIRED /ID:255')" = 0 ]
close_wakeloom

echo "== the scheduler down across an alarm and the chime, started 2 hours later"
alarm="$settings\\Alarms\\0"
set_dword "$settings" Silenced 0
set_dword "$alarm" AlarmOn 1
set_dword "$alarm" AThour 10
set_dword "$alarm" ATmin 0
set_dword "$alarm" Days 127
wine_reg add "$alarm" /v AlarmName /t REG_SZ /d "Wake up" /f
set_clock "2027-06-11 09:59:40"
set_dword "$alarm" AlarmHandle "$(tool at "$launcher" /ID:0 2027-06-11T10:00:00 300)"
set_dword "$settings" ChimeHandle "$(tool at "$launcher" /ID:255 2027-06-11T10:00:01 300)"
kill_scheduler
mark=$(($(wc -l <"$store_dir/notifications.log") + 1))
set_clock "2027-06-11 12:00:00"
start_scheduler
expect "within a minute the alarm is pending for tomorrow" \
    wait_until 60 pending_at 2027-06-12T10:00:00 /ID:0
expect "and the chime for 13:00:01" wait_until 5 pending_at 2027-06-11T13:00:01 /ID:255
expect "both handed over as missed, neither rung late" \
    [ "$(starts '/EXPIRED /ID:0')$(starts '/EXPIRED /ID:255')$(starts /ID:0)$(starts /ID:255)" = 1100 ]
close_wakeloom
expect "the user is told which alarm was missed: $box" eval '[[ "$box" == "Wake up did not ring"* ]]'

echo "== handles never repeat, the store lost and the clock set back"
first=$(tool set "$(winpath "$recorder")" handles 600 900)
rm -f "$store_dir"/notifications.dat*
set_clock "2020-01-02 00:00:00"
second=$(tool set "$(winpath "$recorder")" handles 600 900)
expect "a new handle ($second) after $first" [ "${second:-0}" -gt "${first:-0}" ]

wine_reg delete "$settings" /f
tool clear-all
rm -f "$log"
finish
