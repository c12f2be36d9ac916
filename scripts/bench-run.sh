#!/usr/bin/env bash
# Whole-run benchmark: times the default run against copying its own six output files,
# side by side in one hyperfine session, and prints the ratio of the two and the peak
# memory of the default run.
#
#   scripts/bench-run.sh [EXECUTABLE]
#
# Without EXECUTABLE it builds the "bench" preset and times build/bench/scenario-builder.
# RUNS (default 60) sets the number of timed runs of each command.
set -euo pipefail
cd "$(dirname "$0")/.."

need=()
command -v hyperfine >/dev/null || need+=(hyperfine)
[ -x /usr/bin/time ] || need+=(time)
if [ $# -eq 0 ]; then
  command -v cmake >/dev/null || need+=(cmake)
  command -v g++ >/dev/null || need+=(g++)
  [ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
fi
if [ ${#need[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q "${need[@]}"
fi

if [ $# -eq 0 ]; then
  cmake --preset bench >/dev/null
  cmake --build --preset bench --target scenario-builder >/dev/null
  exe=build/bench/scenario-builder
else
  exe=$1
fi
runs=${RUNS:-60}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/run" "$work/files" "$work/copy"
cp "$exe" "$work/run/scenario-builder"
(cd "$work/run" && ./scenario-builder >/dev/null)

# The six files the default run leaves beside the executable.
outputs=()
for f in "$work/run"/*; do
  [ "$(basename "$f")" = scenario-builder ] && continue
  cp "$f" "$work/files/"
  outputs+=("$work/files/$(basename "$f")")
done
if [ ${#outputs[@]} -ne 6 ]; then
  echo "expected six output files, found ${#outputs[@]}" >&2
  exit 1
fi

hyperfine -N --style basic --warmup 5 --runs "$runs" --export-csv "$work/times.csv" \
  -n "default run" "$work/run/scenario-builder" \
  -n "copy of its six files" "cp ${outputs[*]} $work/copy/"

# Columns: command,mean,stddev,median,user,system,min,max (seconds).
awk -F, 'NR == 2 { rm = $2; rd = $4; rn = $7 } NR == 3 { cm = $2; cd = $4; cn = $7 }
  END {
    printf "default run / copy: %.2f (medians %.1f ms / %.1f ms), %.2f (means %.1f ms / %.1f ms), %.2f (minima)\n",
      rd / cd, rd * 1000, cd * 1000, rm / cm, rm * 1000, cm * 1000, rn / cn
  }' "$work/times.csv"

# Peak resident memory, the largest of five default runs.
peak=0
for _ in 1 2 3 4 5; do
  kb=$(cd "$work/run" && /usr/bin/time -v ./scenario-builder 2>&1 >/dev/null |
       awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }')
  [ "$kb" -gt "$peak" ] && peak=$kb
done
awk -v kb="$peak" 'BEGIN { printf "peak memory of the default run: %.1f MB (%d kB)\n", kb / 1024, kb }'
