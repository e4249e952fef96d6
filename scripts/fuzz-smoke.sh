#!/usr/bin/env bash
# Builds libFuzzer targets (clang++, AddressSanitizer + UndefinedBehaviorSanitizer) and runs each
# once over its seed corpus: every seed must be read without a crash, a leak or undefined behaviour.
# Usage: scripts/fuzz-smoke.sh <build-dir> <name>...   (targets fuzz/fuzz_<name>.cpp, seeds fuzz/corpus/<name>/)
# For a real fuzzing run: <build-dir>/fuzz/fuzz_<name> -max_total_time=300 fuzz/corpus/<name>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
shift
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DTAMARIND_FUZZ=ON \
  -DTAMARIND_BENCHMARKS=OFF >/dev/null
for name in "$@"; do
  cmake --build "$build" -j "$(nproc)" --target "fuzz_$name"
  "$build/fuzz/fuzz_$name" -runs=0 "$root/fuzz/corpus/$name"
done
