#!/usr/bin/env bash
# CI stage: builds the libFuzzer targets with clang (AddressSanitizer + UBSan) and runs each
# for a bounded time from its regression corpus. A crash, a hang, a leak or a sanitizer
# report fails the stage; the input that caused it is printed. The longest route takes
# about a second under the sanitizers: a run of 25 s is a hang.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/install.sh

if ! command -v clang++ >/dev/null ||
   ! compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null; then
  install_missing clang libclang-rt-14-dev
fi

build=${SB_FUZZ_BUILD:-build/fuzz}
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSB_FUZZ=ON -DSB_BUILD_TESTS=OFF >/dev/null
targets=(field_reader route train compile decode_track decode_settings decode_line)
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

# Seconds per target: the readers get more, the decoders are small (about 90 s in all).
declare -A seconds=([field_reader]=15 [route]=15 [train]=15 [compile]=15
                    [decode_track]=10 [decode_settings]=10 [decode_line]=10)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for t in "${targets[@]}"; do
  mkdir -p "$work/$t"
  echo "== fuzz_$t for ${seconds[$t]} s"
  if ! "$build/fuzz/fuzz_$t" -max_total_time="${seconds[$t]}" -timeout=25 -rss_limit_mb=2048 \
       -max_len=65536 -dict=fuzz/scenario.dict -artifact_prefix="$work/$t-" -print_final_stats=1 \
       "$work/$t" "fuzz/corpus/$t" >"$work/$t.log" 2>&1; then
    status=1
    grep -E '^(==|SUMMARY|.*invariant broken|.*runtime error)' "$work/$t.log" | head -40 || true
    tail -20 "$work/$t.log"
    for a in "$work/$t"-*; do
      [ -f "$a" ] || continue
      echo "-- finding $(basename "$a") ($(stat -c %s "$a") bytes), first bytes:"
      head -c 512 "$a" | od -c | head -20
    done
  else
    grep -E '^stat::(number_of_executed_units|peak_rss_mb)|cov: .*ft:' "$work/$t.log" | tail -3
  fi
done
exit $status
