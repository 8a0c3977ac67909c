#!/usr/bin/env bash
# Installs the Debian packages Quorvel needs to build, test, benchmark and fuzz.
# Idempotent: asks apt only when a package is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config git
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-multimedia-dev
  libxcb1-dev
  libxml2-dev
  libgtest-dev libgmock-dev libbenchmark-dev libgmp-dev
  zlib1g-dev
  clang libclang-rt-14-dev clang-format clang-tidy
  fonts-dejavu-core
  # windows tested on X displays of their own, with and without a window manager
  xvfb openbox
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
