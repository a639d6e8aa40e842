#!/usr/bin/env bash
# Runs one fuzz target for a fixed time on its seeds in fuzz/corpus/ and the
# inputs earlier runs found, then prints its totals. A crash, leak, hang or
# failed check fails the run: the report is printed and the input is kept in
# BUILD/findings/.
#
#   fuzz/run.sh BUILD TARGET SECONDS [libFuzzer options]
#   fuzz/run.sh build-fuzz compile_fuzz 90 -dict=fuzz/compile.dict
set -euo pipefail

build=$1 target=$2 seconds=$3
shift 3
root=$(cd "$(dirname "$0")/.." && pwd)
name=${target%_fuzz}
mkdir -p "$build/corpus/$name" "$build/findings"
log=$build/$target.log

status=0
"$build/$target" "$build/corpus/$name" "$root/fuzz/corpus/$name" -max_total_time="$seconds" \
  -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/findings/" \
  "$@" >"$log" 2>&1 || status=$?

stat() { sed -n "s/^stat::$1: *//p" "$log"; }
if [ "$status" -ne 0 ]; then
  # The report without the fuzzer's progress lines.
  grep -v -E '^#[0-9]+[[:space:]]+(NEW|REDUCE|pulse|RELOAD)' "$log" | tail -n 80
  echo "$target: FINDING (exit status $status); input in $build/findings/, log in $log"
  exit 1
fi
echo "$target: $(stat number_of_executed_units) runs in ${seconds} s" \
  "($(stat average_exec_per_sec) per second), $(stat new_units_added) new inputs, no finding"
