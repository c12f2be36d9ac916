#!/usr/bin/env bash
# Whole-run benchmark: times the default run against copying its own six output files,
# side by side in the same hyperfine sessions, and prints the ratio of the two and the
# peak memory of the default run.
#
#   scripts/bench-run.sh [EXECUTABLE]
#
# Without EXECUTABLE it builds the "bench" preset and times build/bench/scenario-builder.
# ROUNDS (default 3) hyperfine sessions of RUNS (default 30) timed runs of each command.
# Last, it times `compile` of a 1,000,000 m line curved along its whole length.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/install.sh

need=()
command -v hyperfine >/dev/null || need+=(hyperfine)
[ -x /usr/bin/time ] || need+=(time)
if [ $# -eq 0 ]; then
  command -v cmake >/dev/null || need+=(cmake)
  command -v g++ >/dev/null || need+=(g++)
  [ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
fi
install_missing "${need[@]}"

if [ $# -eq 0 ]; then
  cmake --preset bench >/dev/null
  cmake --build --preset bench --target scenario-builder >/dev/null
  exe=build/bench/scenario-builder
else
  exe=$1
fi
runs=${RUNS:-30}
rounds=${ROUNDS:-3}

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

# Several rounds, the order of the two commands alternating, so that a change in the load
# of the machine falls on both. Each round gives the ratio of the medians of the wall-clock
# times and, steadier on a busy machine, that of the mean CPU times (user + system).
: > "$work/ratios"
for round in $(seq "$rounds"); do
  run=(-n "default run" "$work/run/scenario-builder")
  copy=(-n "copy of its six files" "cp ${outputs[*]} $work/copy/")
  if [ $((round % 2)) -eq 1 ]; then order=("${run[@]}" "${copy[@]}"); else order=("${copy[@]}" "${run[@]}"); fi
  hyperfine -N --style basic --warmup 5 --runs "$runs" --export-csv "$work/times.csv" "${order[@]}"
  # Columns: command,mean,stddev,median,user,system,min,max (seconds).
  awk -F, 'NR > 1 { median[$1] = $4; cpu[$1] = $5 + $6 }
    END {
      r = "default run"; c = "copy of its six files"
      printf "round %d: wall %.1f / %.1f ms = %.2f, CPU %.1f / %.1f ms = %.2f\n", round,
        median[r] * 1000, median[c] * 1000, median[r] / median[c],
        cpu[r] * 1000, cpu[c] * 1000, cpu[r] / cpu[c]
      print median[r] / median[c], cpu[r] / cpu[c] >> ratios
    }' round="$round" ratios="$work/ratios" "$work/times.csv"
done
awk 'function median(a, n,   i, j, t) {
       for (i = 2; i <= n; ++i) for (j = i; j > 1 && a[j - 1] > a[j]; --j) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
       return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
     }
     { wall[NR] = $1; cpu[NR] = $2 }
     END {
       printf "default run / copy of its six files: %.2f wall-clock, %.2f CPU (medians of %d rounds)\n",
         median(wall, NR), median(cpu, NR), NR
     }' "$work/ratios"

# Peak resident memory, the largest of five default runs.
peak=0
for _ in 1 2 3 4 5; do
  kb=$(cd "$work/run" && /usr/bin/time -v ./scenario-builder 2>&1 >/dev/null |
       awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }')
  [ "$kb" -gt "$peak" ] && peak=$kb
done
awk -v kb="$peak" 'BEGIN { printf "peak memory of the default run: %.1f MB (%d kB)\n", kb / 1024, kb }'

# `compile` of a line of 1,000,000 m with curves of classes 1 to 3, left and right in turn,
# from metre 0 to metre 999,999, and a small train.
long="$work/long"
mkdir "$long"
awk 'BEGIN {
  printf "[generale]\r\nlunghezza percorso,    1000000\r\n"
  for (k = 1; k <= 3; ++k)
    printf "progressiva chilometrica %s,    0,    0,    0\r\n", k == 1 ? "uno" : k == 2 ? "due" : "tre"
  printf "sfondo uno,    1\r\nsfondo due,    0\r\nsfondo tre,    0\r\n"
  printf "ripetizione segnali 9 codici,    1500,    360000\r\n[curve]\r\n"
  split("curvas1 curvad2 curvas3 curvad1 curvas2 curvad3", key, " ")
  for (s = 0; s < 1000000; s += 2000)
    printf "%s,  %d,  %d\r\n", key[(s / 2000) % 6 + 1], s, (s + 2000 > 999999 ? 999999 - s : 2000)
  printf "[pendenze]\r\npendenza,   0,    0\r\npendenza,  500000,   2\r\n[fine]\r\n"
}' > "$long/Torbena-Sarvico-Zeva_linea.txt"
printf '%s\r\n' "[generale]" "numero vetture,    10" "[aderenze]" "aderenza,   0,    100" \
  "[vel_limite]" "velocita,   0,    30" "velocita,    2000,   160" "[stazioni]" \
  "stazione,       0,  8, 1000,  0, 0, 0,  1,1,0,  4,1,1,    1,   9,12,40, PARTENZA" \
  "stazione,  999000,  6, 2200,  0, 0, 0,  1,1,0,  2,1,1,    0,  12, 0, 0, ARRIVO" \
  "[fine]" > "$long/Torbena-Sarvico-Zeva_47302-.txt"
if ! "$work/run/scenario-builder" compile "$long" >/dev/null 2>&1; then
  echo "compile of the 1,000,000 m line: this executable has no compile command" >&2
  exit 0
fi
hyperfine -N --style basic --warmup 3 --runs "$runs" --export-csv "$work/compile.csv" \
  -n "compile of 1000000 m" "$work/run/scenario-builder compile $long"
awk -F, 'NR == 2 { printf "compile of the 1,000,000 m line: %.1f ms median, %.1f ms mean, CPU %.1f ms mean\n", $4 * 1000, $2 * 1000, ($5 + $6) * 1000 }' "$work/compile.csv"
kb=$(/usr/bin/time -v "$work/run/scenario-builder" compile "$long" 2>&1 >/dev/null |
     awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }')
awk -v kb="$kb" 'BEGIN { printf "peak memory of that compile: %.1f MB (%d kB)\n", kb / 1024, kb }'
