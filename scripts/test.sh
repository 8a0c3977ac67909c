#!/usr/bin/env bash
# Installs what is missing, builds the test configuration (sanitizers on) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset ci
cmake --build --preset ci
ctest --preset ci -j "$(nproc)"
