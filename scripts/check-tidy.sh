#!/usr/bin/env bash
# Runs clang-tidy with the project's .clang-tidy over the project's own sources,
# with the compile commands of a configured build (default: build/ci). Findings
# in headers count for the checkout's own headers only, never for files
# generated into the build tree.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/ci}
root=$(pwd -P)
root_regex=$(printf '%s' "$root" | sed 's/[][\.*^$+?(){}|]/\\&/g')
mapfile -t files < <(git ls-files 'src/*.cpp' 'tools/*.cpp' 'tests/*.cpp' 'benchmarks/*.cpp')
run-clang-tidy -p "$build" -quiet -j "$(nproc)" \
    -header-filter "^$root_regex/(src|tools|tests|benchmarks|fuzz)/" "${files[@]/#/$root/}"
