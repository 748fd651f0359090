#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs one on
# every core (SKEDRA_FUZZ_JOBS overrides the count), then prints the number
# of inputs run and fails when any crashed:
#   scripts/fuzz.sh [--long] TARGET [SECONDS] [extra libFuzzer options]
# TARGET is the name given to skedra_add_fuzzer (vcs_reader, vcs_read,
# vcard_import, book_file, editor_model, ics_import, ics_read, rasterly,
# hexmill). The target's dictionary fuzz/TARGET/TARGET.dict and seeds
# fuzz/TARGET/seeds are used when present, and the files of the kind it
# reads from ../shared/testdata. New inputs go to fuzz/corpus-work/TARGET,
# crashing ones to fuzz/corpus-work/TARGET-crashes (neither is committed: a crasher worth
# keeping is copied into the target's replayed corpus).
#
# --long, for an occasional run of the text readers (vcs_read, vcs_reader,
# vcard_import, book_file, ics_read, ics_import): inputs up to 1 MiB from
# the start, so that a reader whose time grows faster than its input shows
# up as a libFuzzer timeout (5 s a unit here; a reader at its slowest
# shape still reads 1 MiB under the sanitizers in well under a second).
# Its inputs go to fuzz/corpus-work/TARGET-long, the usual corpus serving
# as seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh --clang
long=""
if [ "${1:-}" = "--long" ]; then
  long=1
  shift
fi
target="${1:?usage: scripts/fuzz.sh [--long] TARGET [SECONDS]}"
seconds="${2:-600}"
shift $(( $# >= 2 ? 2 : 1 ))
build="${SKEDRA_FUZZ_DIR:-build-fuzz}"
[ -f "$build/build.ninja" ] || CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKEDRA_FUZZ=ON -DSKEDRA_BUILD_TESTS=OFF -DSKEDRA_BUILD_BENCH=OFF
cmake --build "$build" -j "$(nproc)" --target "${target}_fuzzer"
work="$PWD/fuzz/corpus-work/$target${long:+-long}"
crashes="$PWD/fuzz/corpus-work/$target-crashes"
mkdir -p "$work" "$crashes"
# Allocation stacks are left out of ASan's reports: recording one for every
# allocation is much of a target's time. Run a crashing input again through
# its replay program (build/bin/TARGET_replay FILE) for the full report.
export ASAN_OPTIONS="${ASAN_OPTIONS:-malloc_context_size=0}"
# One independent process a core, sharing the corpus folder (several times
# the inputs a second of -fork, whose jobs reload the corpus again and
# again). A process stops at its first crash; its log is
# fuzz/corpus-work/TARGET-logs/fuzz-N.log.
jobs="${SKEDRA_FUZZ_JOBS:-$(nproc)}"
options=(-jobs="$jobs" -workers="$jobs" -max_total_time="$seconds" -timeout=10
         -artifact_prefix="$crashes/" -print_final_stats=1)
[ -f "fuzz/$target/$target.dict" ] && options+=(-dict="$PWD/fuzz/$target/$target.dict")
seeds=()
[ -d "fuzz/$target/seeds" ] && seeds+=("$PWD/fuzz/$target/seeds")
# Long inputs are slow and add little (the .vcs and iCalendar targets reach
# the list's limits by reading onto a nearly full list).
case "$target" in
  vcs_read|vcs_reader) shared=vcal-corpus; options+=(-max_len=4096) ;;
  vcard_import) shared=vcard-corpus; options+=(-max_len=4096) ;;
  ics_import|ics_read) shared=ics-corpus; options+=(-max_len=2048) ;;
  rasterly) shared=pngsuite ;;
  *) shared="" ;;
esac
[ -n "$shared" ] && [ -d "../shared/testdata/$shared" ] && seeds+=("$(cd ../shared/testdata/$shared && pwd)")
if [ -n "$long" ]; then
  case "$target" in
    vcs_read|vcs_reader|vcard_import|book_file|ics_read|ics_import) ;;
    *) echo "--long is for the text readers, not $target" >&2; exit 2 ;;
  esac
  # Options given later win: the usual length cap and timeout are replaced.
  [ -d "fuzz/corpus-work/$target" ] && seeds+=("$PWD/fuzz/corpus-work/$target")
  options+=(-max_len=1048576 -len_control=0 -timeout=5)
fi
program="$(cd "$build/bin" && pwd)/${target}_fuzzer"
logs="fuzz/corpus-work/$target-logs"
rm -rf "$logs" && mkdir -p "$logs" && cd "$logs"
"$program" "$work" "${seeds[@]}" "${options[@]}" "$@" || true
grep -h "stat::number_of_executed_units" fuzz-*.log | awk '{n += $2} END {print "executions:", n + 0}'
if ls "$crashes" | grep -q .; then
  echo "crashing inputs in $crashes:" && ls "$crashes"
  exit 1
fi
