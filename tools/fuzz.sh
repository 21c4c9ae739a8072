#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang into build-fuzz/ and runs each
# for a while (default 60 s, or the first argument), starting from its seed inputs.
# Any crash, hang, leak or sanitizer report stops the script with a failure; the
# input that caused it is left in build-fuzz/findings/ for the seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
jobs=$(nproc 2>/dev/null || echo 2)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DORVALIS_FUZZ=ON "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j "$jobs" --target orvalis_fuzzers

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
mkdir -p build-fuzz/findings
for target in settings_fuzzer number_reading_fuzzer; do
  # New inputs go to a working corpus; the seeds in tests/fuzz stay as they are.
  mkdir -p "build-fuzz/corpus/$target"
  echo "Fuzzing $target for $seconds s"
  "build-fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="build-fuzz/findings/$target-" \
    "build-fuzz/corpus/$target" "tests/fuzz/$target" 2>&1 | tail -n 25
  [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "$target found a fault: see build-fuzz/findings/"; exit 1; }
done
