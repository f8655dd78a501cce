#!/usr/bin/env bash
# Runs Quillark on the bundled sample data, served by the fixture server on loopback.
set -euo pipefail
usage() {
  cat <<'TEXT'
usage: scripts/demo.sh [BUILD_DIR] [-- QUILLARK_ARGS...]

Starts the fixture server on 127.0.0.1 with tools/demo-data, points Quillark at it
(QUILLARK_ENDPOINTS) and runs it: the window when a display is available, else the
headless table of the first test pass. The server is stopped when Quillark exits.
Pinging needs root or net.ipv4.ping_group_range covering your group.
TEXT
}
[[ "${1:-}" == "--help" || "${1:-}" == "-h" ]] && { usage; exit 0; }
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
shift || true
[[ "${1:-}" == "--" ]] && shift
args=("$@")

server_out=$(mktemp)
"$build/tools/fixture_server/quillark-fixture-server" --data "$root/tools/demo-data" --port 0 \
  --seconds 3600 >"$server_out" &
server_pid=$!
trap 'kill $server_pid 2>/dev/null || true; wait $server_pid 2>/dev/null || true; rm -f "$server_out"' EXIT
for _ in $(seq 50); do
  grep -q '^listening ' "$server_out" && break
  sleep 0.1
done
port=$(awk '/^listening /{print $2}' "$server_out")
[[ -n "$port" ]] || { echo "fixture server did not start" >&2; exit 1; }
export QUILLARK_ENDPOINTS="http://127.0.0.1:$port"
echo "sample data served at $QUILLARK_ENDPOINTS"

if [[ ${#args[@]} -eq 0 ]]; then
  if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
    args=()
  else
    echo "no display: printing the headless table of the first test pass"
    args=(--headless --once)
  fi
fi
"$build/src/app/quillark" "${args[@]}"
