#!/usr/bin/env bash
# Runs clang-tidy with the project's .clang-tidy over the project's own sources,
# with the compile commands of a configured build (default: build/ci).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/ci}
mapfile -t files < <(git ls-files 'src/*.cpp' 'tools/*.cpp' 'tests/*.cpp' 'benchmarks/*.cpp')
run-clang-tidy -p "$build" -quiet -j "$(nproc)" "${files[@]/#/$PWD/}"
