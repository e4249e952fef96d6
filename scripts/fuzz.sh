#!/usr/bin/env bash
# Builds the libFuzzer targets under fuzz/ (clang++, with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each one for a fixed time, one after another. Each target
# starts from its seeds in fuzz/corpus/<name>/ and from what earlier runs found (kept in
# build-fuzz/corpus/<name>/). A finding (a crash, a sanitizer report, a failed check, an input
# that runs longer than 20 s (FUZZ_TIMEOUT) or takes more than 2 GB) fails the run and leaves its reproducer in
# build-fuzz/findings/; run the target on that file to see it again.
#
# Usage: scripts/fuzz.sh [seconds per target, default 30] [target names, default all]
#   scripts/fuzz.sh 600 formfile     # ten minutes on the form-file reader
#   FUZZ_TIMEOUT=2 scripts/fuzz.sh 600   # every target, an input slower than 2 s is a finding
# Every reader is meant to do work bounded by its input's size: a run with a short FUZZ_TIMEOUT
# makes a slow input a finding long before it is slow enough to hang.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
shift || true
build=$root/build-fuzz
jobs=${JOBS:-$(nproc)}
timeout=${FUZZ_TIMEOUT:-20}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DTAMARIND_FUZZ=ON \
  -DTAMARIND_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
targets=("$@")
if ((${#targets[@]} == 0)); then
  # Every target this configuration builds (a target of an optional part is there only with it).
  cmake --build "$build" -j "$jobs" --target fuzz_targets
  for f in "$build"/fuzz/fuzz_*; do
    if [[ -f $f && -x $f ]]; then targets+=("$(basename "$f" | sed 's/^fuzz_//')"); fi
  done
else
  cmake --build "$build" -j "$jobs" --target "${targets[@]/#/fuzz_}"
fi

mkdir -p "$build/findings"
status=0
for t in "${targets[@]}"; do
  mkdir -p "$build/corpus/$t"
  log=$build/findings/$t.log
  if "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/findings/$t-" "$build/corpus/$t" "$root/fuzz/corpus/$t" > "$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz $t: ${runs:-?} runs in ${seconds} s, no findings"
  else
    echo "fuzz $t: FINDING (reproducer and log in $build/findings/)" >&2
    grep -E "ERROR|SUMMARY|fuzz check failed|Test unit written" "$log" >&2 || true
    status=1
  fi
done
exit $status
