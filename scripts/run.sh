#!/usr/bin/env bash
# Builds Quorvel and runs it beside the local chat service: installs what is
# missing, builds the release configuration, starts quorvel-chatd, points the
# client's built-in dimensions and web site at it, and stops the service when
# the client exits. Arguments are passed to the client.
#
# The service's ports and accounts come from the environment, so that a
# second copy can run beside the first (see tools/chatd/README.md):
#   QUORVEL_CHATD_PORTS      chat ports, comma-separated (default 7012,7013;
#                            0 picks a free port)
#   QUORVEL_CHATD_HTTP_PORT  web site port (default 7080; 0 picks a free port)
#   QUORVEL_CHATD_ACCOUNTS   accounts file (default: the built-in demo account only)
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset release
cmake --build --preset release --target quorvel quorvel-chatd

build=build/release
chatd="$build/tools/chatd/quorvel-chatd"
chat_ports="${QUORVEL_CHATD_PORTS:-7012,7013}"
http_port="${QUORVEL_CHATD_HTTP_PORT:-7080}"
accounts="${QUORVEL_CHATD_ACCOUNTS:-}"
chatd_log=$(mktemp "${TMPDIR:-/tmp}/quorvel-chatd.XXXXXX.log")
chatd_pid=""

stop_chatd() {
  if [ -n "$chatd_pid" ] && kill -0 "$chatd_pid" 2>/dev/null; then
    kill "$chatd_pid" 2>/dev/null || true
    wait "$chatd_pid" 2>/dev/null || true
  fi
}
trap stop_chatd EXIT

# Where the client finds the service: the ports asked for, or those the
# service reports once it listens ("chat on 127.0.0.1:7012, ...; site URL").
client_ports="$chat_ports"
site="http://127.0.0.1:$http_port"

chatd_args=(--ports "$chat_ports" --http-port "$http_port")
if [ -n "$accounts" ]; then
  chatd_args+=(--accounts "$accounts")
fi

if [ -x "$chatd" ]; then
  "$chatd" "${chatd_args[@]}" >"$chatd_log" 2>&1 &
  chatd_pid=$!
  # Wait until it listens, or until it gives up.
  listening=""
  for _ in $(seq 1 50); do
    listening=$(grep -m1 "chat on" "$chatd_log" 2>/dev/null || true)
    if [ -n "$listening" ]; then
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
  if [ -n "$listening" ]; then
    client_ports=$(sed -e 's/.*chat on //' -e 's/; site .*//' -e 's/127\.0\.0\.1://g' \
      -e 's/ //g' <<<"$listening")
    site=$(sed -e 's/.*; site //' <<<"$listening")
    echo "Local chat service running on ports $client_ports, web site $site; log in with" \
         "user 'demo', password 'demo'${accounts:+, or an account of $accounts} (its log: $chatd_log)."
  fi
else
  echo "quorvel-chatd was not built; the client starts without a local chat service." >&2
fi

export QUORVEL_DIMENSION_HOST=127.0.0.1
export QUORVEL_DIMENSION_PORTS="$client_ports"
export QUORVEL_SITE="$site"
"$build/src/quorvel" "$@"
