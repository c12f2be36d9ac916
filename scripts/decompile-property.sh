#!/usr/bin/env bash
# The property test of `decompile` on many random texts: each is compiled, decompiled and
# compiled again, and the bytes are compared. Prints how many texts were tried, how many
# were set aside (their first compile records a fault) and how many round-trip.
#   bash scripts/decompile-property.sh [TRIALS [FIRST_SEED]]   (default 2000 texts from seed 1)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/install.sh

need=()
command -v cmake >/dev/null || need+=(cmake)
command -v g++ >/dev/null || need+=(g++)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
[ -f /usr/include/nlohmann/json.hpp ] || need+=(nlohmann-json3-dev)
install_missing "${need[@]}"

cmake --preset default >/dev/null
cmake --build build/default -j2 --target scenario_tests
SB_DECOMPILE_TRIALS="${1:-2000}" SB_DECOMPILE_SEED="${2:-1}" \
  build/default/scenario_tests --gtest_filter='DecompileProperty.*' --gtest_brief=1
