#!/usr/bin/env bash
# The target look-ups of tools/lib/ninja.sh against a build with a long target list, where a
# reader that stops at the first match used to kill ninja and make a present target look missing.
# Usage: test_ninja_lookup.sh NINJA_SH WORK_DIR
set -uo pipefail
. "$1"
dir=$2
rm -rf "$dir" && mkdir -p "$dir" || exit 1

# Thousands of targets, the wanted ones near the top, so ninja is still writing when they appear.
{
  echo 'rule touch'
  echo '  command = touch $out'
  echo 'build bench_alpha: phony'
  echo 'build bench_beta_2: phony'
  echo 'build bench/sub/bench_alpha: touch'
  echo 'build bench_alpha.exe: touch'
  for i in $(seq 1 20000); do echo "build filler_target_number_$i: phony"; done
} >"$dir/build.ninja"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for run in $(seq 1 30); do
  ninja_has_target "$dir" bench_alpha || fail "run $run: bench_alpha not found"
  ninja_has_target "$dir" filler_target_number_20000 || fail "run $run: the last target not found"
done
ninja_has_target "$dir" bench_gamma && fail "an unknown target was found"
ninja_has_target "$dir/none" bench_alpha && fail "a folder without a build had a target"

names=$(ninja_targets_with_prefix "$dir" bench_)
[ "$names" = $'alpha\nbeta_2' ] || fail "benchmark names: got '$names'"
[ -z "$(ninja_targets_with_prefix "$dir/none" bench_)" ] || fail "names from a folder without a build"

[ $failures -eq 0 ] && echo "ninja look-ups: all passed"
exit $((failures > 0))
