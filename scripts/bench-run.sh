#!/usr/bin/env bash
# Whole-run benchmark: times the default run against a program that only writes the same
# files (bench/baseline_writer.c: the same sizes, in the same order, each to a temporary
# file renamed over the old one, 64 KiB at a time, the two texts read back and deleted, and
# nothing computed), side by side in the same hyperfine sessions; then `compile` of a
# 1,000,000 m line curved along its whole length against the same program writing its
# three files; and the peak memory of both.
#
#   scripts/bench-run.sh [EXECUTABLE]
#
# Without EXECUTABLE it builds the "bench" preset and times build/bench/scenario-builder.
# ROUNDS (default 3) hyperfine sessions of RUNS (default 30) timed runs of each command.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/install.sh

need=()
command -v hyperfine >/dev/null || need+=(hyperfine)
[ -x /usr/bin/time ] || need+=(time)
command -v gcc >/dev/null || need+=(gcc)
[ -f /usr/lib/x86_64-linux-gnu/libc.a ] || [ -f /usr/lib/libc.a ] || need+=(libc6-dev)
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
mkdir "$work/run" "$work/base" "$work/texts" "$work/long" "$work/long-base"
# Linked statically like the program, so that neither pays for loading a shared runtime.
gcc -O2 -static -o "$work/baseline_writer" bench/baseline_writer.c
cp "$exe" "$work/run/scenario-builder"
(cd "$work/run" && ./scenario-builder >/dev/null)

size() { stat -c %s "$1"; }
name=Torbena-Sarvico-Zeva
# The six files the default run leaves beside the executable, and the two texts it deletes.
for f in linea.dat 47302.sim 47302.dat 47302_note.txt 47302_rallentamenti.txt 47302_scheda_treno.txt; do
  if [ ! -f "$work/run/${name}_$f" ]; then
    echo "the default run left no ${name}_$f" >&2
    exit 1
  fi
done
"$work/run/scenario-builder" sources "$work/texts" >/dev/null
run_files=(
  text "${name}_linea.txt" "$(size "$work/texts/${name}_linea.txt")"
  text "${name}_47302-.txt" "$(size "$work/texts/${name}_47302-.txt")"
)
for f in note rallentamenti scheda_treno; do
  run_files+=(text "${name}_47302_$f.txt" "$(size "$work/run/${name}_47302_$f.txt")")
done
run_files+=(read "${name}_linea.txt" read "${name}_47302-.txt")
for f in linea.dat 47302.sim 47302.dat; do
  run_files+=(unit "${name}_$f" "$(size "$work/run/${name}_$f")")
done

# compare A CMD_A B CMD_B: ROUNDS hyperfine sessions, the order of the two commands
# alternating, so that a change in the load of the machine falls on both. Prints, per
# round, the medians of the wall-clock times and the mean CPU times (user + system), then,
# for each command, the least, median and largest wall-clock time of all runs and CPU time
# of all rounds, and the ratio A / B of the medians.
compare() {
  local a=$1 cmd_a=$2 b=$3 cmd_b=$4 round
  : > "$work/all"
  for round in $(seq "$rounds"); do
    local first=(-n "$a" "$cmd_a") second=(-n "$b" "$cmd_b")
    if [ $((round % 2)) -eq 0 ]; then first=(-n "$b" "$cmd_b"); second=(-n "$a" "$cmd_a"); fi
    hyperfine -N --style none --warmup 5 --runs "$runs" --export-json "$work/times.json" \
      "${first[@]}" "${second[@]}"
    # One line per run "wall COMMAND SECONDS", one per command "cpu COMMAND SECONDS".
    awk -v round="$round" -v a="$a" -v b="$b" '
      /"command":/ { sub(/^[^:]*: *"/, ""); sub(/",? *$/, ""); cmd = $0 }
      /"median":/ { v = $2; sub(/,/, "", v); median[cmd] = v }
      /"user":/ { v = $2; sub(/,/, "", v); user = v }
      /"system":/ { v = $2; sub(/,/, "", v); cpu[cmd] = user + v; print "cpu\t" cmd "\t" user + v }
      /"times":/ { in_times = 1; next }
      in_times && /\]/ { in_times = 0 }
      in_times { v = $1; sub(/,/, "", v); print "wall\t" cmd "\t" v }
      END {
        printf "round %d: wall %.1f / %.1f ms = %.2f, CPU %.1f / %.1f ms = %.2f\n", round,
          median[a] * 1000, median[b] * 1000, median[a] / median[b],
          cpu[a] * 1000, cpu[b] * 1000, cpu[a] / cpu[b] > "/dev/stderr"
      }' "$work/times.json" >> "$work/all"
  done 2>&1
  awk -F'\t' -v a="$a" -v b="$b" '
    function sort(x, n,   i, j, t) {
      for (i = 2; i <= n; ++i) for (j = i; j > 1 && x[j - 1] > x[j]; --j) { t = x[j]; x[j] = x[j - 1]; x[j - 1] = t }
    }
    function median(x, n) { return n % 2 ? x[(n + 1) / 2] : (x[n / 2] + x[n / 2 + 1]) / 2 }
    { k = $1 SUBSEP $2; n[k]++; v[k, n[k]] = $3 }
    END {
      for (kind = 1; kind <= 2; ++kind) {
        what = kind == 1 ? "wall" : "cpu"
        for (c = 1; c <= 2; ++c) {
          cmd = c == 1 ? a : b; k = what SUBSEP cmd; m = n[k]
          delete x
          for (i = 1; i <= m; ++i) x[i] = v[k, i]
          sort(x, m)
          med[c] = median(x, m)
          printf "%-4s %-28s min %6.1f  median %6.1f  max %6.1f ms  (%d %s)\n",
            what == "wall" ? "wall" : "CPU", cmd, x[1] * 1000, med[c] * 1000, x[m] * 1000, m,
            what == "wall" ? "runs" : "rounds, mean of each"
        }
        printf "%s / %s: %.2f %s (medians)\n", a, b, med[1] / med[2], what == "wall" ? "wall-clock" : "CPU"
      }
    }' "$work/all"
}

peak_kb() {
  /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }'
}

echo "== the default run against the baseline writing its eight files"
compare "default run" "$work/run/scenario-builder" \
        "baseline" "$work/baseline_writer $work/base ${run_files[*]}"

# Peak resident memory, the largest of five default runs.
peak=0
for _ in 1 2 3 4 5; do
  kb=$(cd "$work/run" && peak_kb ./scenario-builder)
  [ "$kb" -gt "$peak" ] && peak=$kb
done
awk -v kb="$peak" 'BEGIN { printf "peak memory of the default run: %.1f MB (%d kB)\n", kb / 1024, kb }'

# `compile` of a line of 1,000,000 m with curves of classes 1 to 3, left and right in turn,
# from metre 0 to metre 999,999, and a small train.
long="$work/long"
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
}' > "$long/${name}_linea.txt"
printf '%s\r\n' "[generale]" "numero vetture,    10" "[aderenze]" "aderenza,   0,    100" \
  "[vel_limite]" "velocita,   0,    30" "velocita,    2000,   160" "[stazioni]" \
  "stazione,       0,  8, 1000,  0, 0, 0,  1,1,0,  4,1,1,    1,   9,12,40, PARTENZA" \
  "stazione,  999000,  6, 2200,  0, 0, 0,  1,1,0,  2,1,1,    0,  12, 0, 0, ARRIVO" \
  "[fine]" > "$long/${name}_47302-.txt"
if ! "$work/run/scenario-builder" compile "$long" >/dev/null 2>&1; then
  echo "compile of the 1,000,000 m line: this executable has no compile command" >&2
  exit 0
fi
long_files=()
for f in linea.dat 47302.sim 47302.dat; do
  long_files+=(unit "${name}_$f" "$(size "$long/${name}_$f")")
done
echo "== compile of the 1,000,000 m line against the baseline writing its three files"
compare "compile of 1000000 m" "$work/run/scenario-builder compile $long" \
        "baseline" "$work/baseline_writer $work/long-base ${long_files[*]}"
kb=$(peak_kb "$work/run/scenario-builder" compile "$long")
awk -v kb="$kb" 'BEGIN { printf "peak memory of that compile: %.1f MB (%d kB)\n", kb / 1024, kb }'
