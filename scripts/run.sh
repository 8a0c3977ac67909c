#!/usr/bin/env bash
# Builds Quorvel and runs it beside the local chat service: installs what is
# missing, builds the release configuration, starts quorvel-chatd on its
# default ports (chat 7012 and 7013, web site 7080), points the client's
# dimensions and web site at it, and stops the service when the client exits.
# Arguments are passed to the client.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset release
cmake --build --preset release --target quorvel quorvel-chatd

build=build/release
chatd="$build/tools/chatd/quorvel-chatd"
chatd_log="$build/quorvel-chatd.log"
chatd_pid=""

stop_chatd() {
  if [ -n "$chatd_pid" ] && kill -0 "$chatd_pid" 2>/dev/null; then
    kill "$chatd_pid" 2>/dev/null || true
    wait "$chatd_pid" 2>/dev/null || true
  fi
}
trap stop_chatd EXIT

if [ -x "$chatd" ]; then
  "$chatd" >"$chatd_log" 2>&1 &
  chatd_pid=$!
  # Wait until it listens (it prints its addresses), or until it gives up.
  for _ in $(seq 1 50); do
    if grep -q "chat on" "$chatd_log" 2>/dev/null; then
      break
    fi
    if ! kill -0 "$chatd_pid" 2>/dev/null; then
      echo "quorvel-chatd did not start:" >&2
      cat "$chatd_log" >&2
      chatd_pid=""
      break
    fi
    sleep 0.1
  done
  if [ -n "$chatd_pid" ]; then
    echo "Local chat service running; log in with user 'demo', password 'demo'" \
         "(its log: $chatd_log)."
  fi
else
  echo "quorvel-chatd was not built; the client starts without a local chat service." >&2
fi

export QUORVEL_DIMENSION_HOST=127.0.0.1
export QUORVEL_SITE=http://127.0.0.1:7080
"$build/src/quorvel" "$@"
