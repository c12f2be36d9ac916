#!/usr/bin/env bash
# Builds the "bench" preset and runs the benchmarks of the compile (Google Benchmark).
# Arguments go to the benchmark program, e.g. --benchmark_filter=Compile.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/install.sh

need=()
command -v cmake >/dev/null || need+=(cmake)
command -v g++ >/dev/null || need+=(g++)
[ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
install_missing "${need[@]}"

cmake --preset bench >/dev/null
cmake --build --preset bench --target scenario_bench
exec build/bench/scenario_bench "$@"
