#!/usr/bin/env bash
# Installs what building and testing need, builds everything (the benchmark too) and runs every
# test through CTest.
# With --sanitize the build uses AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh --test

dir=build/test
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCLOCKSAVER_BENCH=ON)
if [ "${1:-}" = "--sanitize" ]; then
  dir=build/sanitize
  flags=(-DCMAKE_BUILD_TYPE=Debug -DCLOCKSAVER_SANITIZE=ON -DCLOCKSAVER_BENCH=ON)
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
cmake -S . -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)" --timeout 300
