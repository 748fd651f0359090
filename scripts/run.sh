#!/usr/bin/env bash
# Installs what is missing, builds Skedra and starts it, on the .vcs file
# given (or on the sample file when none is given).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/deps.sh"
"$here/scripts/build.sh"
build="${SKEDRA_BUILD_DIR:-$here/build}"
case "$build" in /*) ;; *) build="$here/$build" ;; esac
if [ $# -eq 0 ] && [ -f "$here/examples/sample.vcs" ]; then
  set -- "$here/examples/sample.vcs"
fi
exec "$build/bin/skedra" "$@"
