#!/usr/bin/env bash
# The whole program's processor time with 1,000 to 10,000 buddies, logging in
# and in a storm of status changes, against the local chat service, on a
# virtual X display of its own. Builds nothing.
#
# Usage: benchmarks/trees-xvfb.sh [PROGRAM] [bench_trees_service options]
#
#   PROGRAM   the program to measure (default build/release/src/quorvel)
#   options   passed on, e.g. --runs 5 --buddies 1000,3000,10000
#             --storm-seconds 10 --rate 1000
#
# Needs Xvfb and xdotool (the character dialog is answered with a key).
# Example:
#   cmake --build --preset release --target quorvel bench_trees_service
#   benchmarks/trees-xvfb.sh build/release/src/quorvel --runs 5
set -euo pipefail
cd "$(dirname "$0")/.."
program=build/release/src/quorvel
if [[ $# -gt 0 && $1 != --* ]]; then
    program=$1
    shift
fi
service=build/release/benchmarks/bench_trees_service
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "trees-xvfb.sh: $tool is not installed" >&2; exit 2; }
done
[[ -x $program && -x $service ]] || { echo "trees-xvfb.sh: build $program and $service first" >&2; exit 2; }

# A display number nobody uses.
display=90
while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do
    display=$((display + 1))
done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    [[ -e /tmp/.X11-unix/X$display ]] && break
    sleep 0.1
done
DISPLAY=":$display" "$service" "$(realpath "$program")" "$@"
