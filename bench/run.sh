#!/usr/bin/env bash
# Times the compiler on generated sources of 100, 1000 and 2900 topics in every
# output format (HLP, RTF, CHM, HTML; no help compiler run) and prints a table
# of seconds (wall-clock and cpu). It builds nothing: pass the program to time.
#
# Usage: bench/run.sh [path/to/quillark]     (default: build/quillark of the repo)
# Environment: BENCH_SIZES="100 1000 2900" to choose other topic counts,
#              BENCH_KEEP=1 to keep the generated folder (its path is printed).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
program="${1:-$here/../build/quillark}"
if [ ! -x "$program" ]; then
  echo "bench: no program at $program (build it first: make build)" >&2
  exit 2
fi
program="$(cd "$(dirname "$program")" && pwd)/$(basename "$program")"
read -r -a sizes <<<"${BENCH_SIZES:-100 1000 2900}"
formats=(HLP RTF CHM HTML)

work="$(mktemp -d "${TMPDIR:-/tmp}/quillark-bench.XXXXXX")"
if [ "${BENCH_KEEP:-0}" = 1 ]; then
  echo "bench: keeping $work"
else
  trap 'rm -rf "$work"' EXIT
fi

# One run: prints "wall/cpu" seconds (cpu = user + system); a failed run or a
# listing with reports is told on standard error.
time_one() {
  local dir="$1" format="$2" status times
  local TIMEFORMAT='%R %U %S'
  set +e
  times=$( { time "$program" -i "$dir/bench" -g "$format" >"$dir/console.txt" 2>&1; } 2>&1 )
  status=$?
  set -e
  if [ "$status" -ne 0 ]; then
    echo "bench: $format run in $dir ended with status $status:" >&2
    tail -n 3 "$dir/console.txt" >&2
    times="0 0 0"
  elif ! grep -q ': 0 errors\.' "$dir/bench.lst"; then
    echo "bench: $format listing in $dir has reports:" >&2
    head -n 5 "$dir/bench.lst" >&2
  fi
  awk -v t="$times" 'BEGIN { split(t, v, " "); printf "%.2f/%.2f", v[1], v[2] + v[3] }'
}

printf '%-7s %9s' topics "source"
for format in "${formats[@]}"; do printf ' %11s' "$format"; done
printf '\n'
for size in "${sizes[@]}"; do
  source="$work/source_$size.txt"
  python3 "$here/make_source.py" --topics "$size" "$source"
  printf '%-7s %7sKB' "$size" "$(( $(stat -c %s "$source") / 1024 ))"
  for format in "${formats[@]}"; do
    # Each run gets a folder of its own: the CHM pages share temp/ beside the source.
    dir="$work/${size}_$format"
    mkdir -p "$dir"
    cp "$source" "$dir/bench.txt"
    printf ' %11s' "$(time_one "$dir" "$format")"
  done
  printf '\n'
done
echo "(seconds per run: wall-clock/cpu, cpu = user + system; $(nproc) cores; program: $program)"
