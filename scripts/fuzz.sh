#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs one:
#   scripts/fuzz.sh TARGET [SECONDS] [extra libFuzzer options]
# TARGET is the name given to skedra_add_fuzzer (e.g. vcs_reader, rasterly,
# hexmill). New inputs go to fuzz/corpus-work/TARGET (not committed).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh --fuzz
target="${1:?usage: scripts/fuzz.sh TARGET [SECONDS]}"
seconds="${2:-600}"
shift $(( $# >= 2 ? 2 : 1 ))
build="${SKEDRA_FUZZ_DIR:-build-fuzz}"
[ -f "$build/build.ninja" ] || CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKEDRA_FUZZ=ON -DSKEDRA_BUILD_TESTS=OFF -DSKEDRA_BUILD_BENCH=OFF
cmake --build "$build" -j "$(nproc)" --target "${target}_fuzzer"
work="fuzz/corpus-work/$target"
mkdir -p "$work"
seeds=()
[ -d "fuzz/$target/seeds" ] && seeds+=("fuzz/$target/seeds")
"$build/bin/${target}_fuzzer" "$work" "${seeds[@]}" -max_total_time="$seconds" -print_final_stats=1 "$@"
