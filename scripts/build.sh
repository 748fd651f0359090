#!/usr/bin/env bash
# Configures and builds Skedra into build/ (or $SKEDRA_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${SKEDRA_BUILD_DIR:-build}"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
cmake --build "$build" -j "$(nproc)"
