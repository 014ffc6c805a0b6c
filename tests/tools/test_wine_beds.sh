#!/usr/bin/env bash
# Two Wine beds started at the same moment (the tests' and the benchmarks') each get an X server
# of their own, and stopping one leaves the other running.
# Usage: test_wine_beds.sh WINE_BED WORK_DIR ARCH
set -uo pipefail
bed=$1 work=$2 arch=$3
export QUORVANE_XVFB=1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
mkdir -p "$work"
a="$work/a" b="$work/b"
cleanup() { "$bed" stop "$a" >/dev/null 2>&1; "$bed" stop "$b" >/dev/null 2>&1; }
trap cleanup EXIT
cleanup

"$bed" start "$a" "$arch" >"$work/a.log" 2>&1 & pa=$!
"$bed" start "$b" "$arch" >"$work/b.log" 2>&1 & pb=$!
wait $pa || fail "bed a did not start: $(cat "$work/a.log")"
wait $pb || fail "bed b did not start: $(cat "$work/b.log")"
da=$(sed -n 's/^DISPLAY=//p' "$a/bed.env" 2>/dev/null)
db=$(sed -n 's/^DISPLAY=//p' "$b/bed.env" 2>/dev/null)
[ -n "$da" ] && [ -n "$db" ] || fail "a bed has no display: a=[$da] b=[$db]"
[ "$da" != "$db" ] || fail "both beds run on display $da"

"$bed" stop "$a" >/dev/null 2>&1
xb=$(sed -n 's/^BED_XVFB_PID=//p' "$b/bed.env" 2>/dev/null)
[ -n "$xb" ] && kill -0 "$xb" 2>/dev/null || fail "bed b's X server went with bed a"
"$bed" exec "$b" cmd /c exit 0 >/dev/null 2>&1 || fail "bed b runs no program after bed a stopped"

[ $failures -eq 0 ] && echo "two beds at once: displays $da and $db, the second outlives the first"
exit $((failures > 0))
