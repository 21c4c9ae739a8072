#!/usr/bin/env bash
# The checked pass of ./test --sanitize: every test once more, built with AddressSanitizer
# and UndefinedBehaviorSanitizer in build-asan/, then each fuzzer for 60 s (tools/fuzz.sh).
# Any sanitizer report fails the test that made it, and so the pass.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVALIS_SANITIZE=ON >/dev/null
cmake --build build-asan -j "$jobs"

# Full stacks (fast_unwind_on_malloc=0): the system libraries have no frame pointers, and
# a leak's stack cut short at the first library frame could not be told ours or theirs.
export ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0:detect_stack_use_after_return=0:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:suppressions=$PWD/tests/ubsan.supp
export NO_AT_BRIDGE=1
tools/own-session.sh xvfb-run -a -n $((200 + RANDOM % 700)) -s "-screen 0 1280x1024x24 -noreset" \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

unset ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS
tools/fuzz.sh 60
