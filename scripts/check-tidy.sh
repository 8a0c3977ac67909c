#!/usr/bin/env bash
# Runs clang-tidy with the project's .clang-tidy files over the project's own
# sources, with the compile commands of a configured and built build folder
# (default: build/ci). Files that passed before and have not changed since are
# not checked again (see check-tidy.py). src/.clang-tidy and tools/.clang-tidy
# also hold the program's functions to 80 lines and a cognitive complexity of
# 30, and its function names to the naming rule.
set -euo pipefail
cd "$(dirname "$0")/.."
exec python3 scripts/check-tidy.py "$@"
