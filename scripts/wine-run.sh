#!/usr/bin/env bash
# Runs one Windows program under Wine for CTest and the build.
#   wine-run.sh [--gtest] PROGRAM [ARGUMENTS...]
# With --gtest the run counts as passed only when GoogleTest printed its
# final summary of all tests passed: a program that crashed may still end
# with exit code 0.
# Wine's output goes through a file: system processes started on the way
# (services, explorer) inherit our stdout, and CTest would wait for them to
# close its pipe.
. "$(dirname "$0")/env.sh"
gtest=
if [ "${1:-}" = --gtest ]; then
    gtest=1
    shift
fi
out=$(mktemp "$TMPDIR/wine-run.XXXXXX")
"$WINE" "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
if [ -n "$gtest" ] && [ "$rc" = 0 ]; then
    if ! grep -q '^\[  PASSED  \] [0-9]* tests\?\.' "$out" || grep -q '^\[  FAILED  \]' "$out"; then
        echo "wine-run.sh: no summary of all tests passed" >&2
        rc=1
    fi
fi
rm -f "$out"
exit $rc
