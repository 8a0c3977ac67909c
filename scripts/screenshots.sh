#!/usr/bin/env bash
# Pictures of the program's windows, taken offscreen: the main window and its
# menus, the friends' pop-up menu, every options page, the away messages
# window, the reference editor, the about box and the login dialog. Builds the
# release configuration's quorvel-screens and writes PNG files to the folder
# given (default: build/screenshots).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target quorvel-screens
out=${1:-build/screenshots}
mkdir -p "$out"
QT_QPA_PLATFORM=offscreen build/release/tools/screens/quorvel-screens "$out"
