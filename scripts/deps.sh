#!/usr/bin/env bash
# Installs the Debian packages Skedra needs to build, run and test, when any
# is missing. Needs root (or sudo) only when something must be installed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config python3
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev
  zlib1g-dev libicu-dev
  fonts-ipafont-gothic xvfb xauth desktop-file-utils
  libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev libical-dev  # libical: the iCalendar bridge (run time too)
  poppler-utils  # pdftotext and pdfinfo read the printed PDFs back in tests
)
if [ "${1:-}" = "--clang" ]; then  # the sanitized suite and fuzzing
  packages+=(clang libclang-rt-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null 2>&1 || { echo "Run as root to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
