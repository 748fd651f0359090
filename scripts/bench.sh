#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs each, or those named, printing
# their figures. Not part of the test command.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
build="${SKEDRA_BENCH_DIR:-build-bench}"
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSKEDRA_BUILD_TESTS=OFF
cmake --build "$build" -j "$(nproc)"
if [ $# -eq 0 ]; then
  set -- $(cd "$build/bin" && ls bench_* 2>/dev/null)
fi
for b in "$@"; do
  echo "== $b"
  "$build/bin/$b"
done
