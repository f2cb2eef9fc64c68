#!/usr/bin/env bash
# Runs one Windows program under Wine for CTest and the build.
# Wine's output goes through a file: system processes started on the way
# (services, explorer) inherit our stdout, and CTest would wait for them to
# close its pipe.
. "$(dirname "$0")/env.sh"
out=$(mktemp "$TMPDIR/wine-run.XXXXXX")
"$WINE" "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
exit $rc
