#!/usr/bin/env bash
# Runs a command while the test HTTP server (http_server.py) listens on a free
# port of 127.0.0.1, and stops the server by its PID when the command ends:
#   with-server.sh COMMAND [ARGS...]
# The command sees (Wine passes these on to Windows programs):
#   ZELK_TEST_SERVER_PORT          the server's port
#   ZELK_TEST_SERVER_REFUSED_PORT  a port nobody listens on
#   ZELK_TEST_SERVER_DIR           the server's state folder as a Windows path
#                                  (requests\ holds the recorded requests,
#                                  files\ what /files/ serves)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

state=$(mktemp -d "${TMPDIR:-/tmp}/zelk-server.XXXXXX")
# /usr/bin/python3 itself: a version-manager shim would hide the server's PID.
/usr/bin/python3 "$here/http_server.py" --state-dir "$state" --max-seconds 3600 \
  </dev/null >"$state/server.log" 2>&1 &
server=$!

stop_server() {
  kill "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
  rm -rf "$state"
}
trap stop_server EXIT
trap 'exit 143' TERM INT HUP

for _ in $(seq 100); do
  [ -s "$state/port" ] && break
  kill -0 "$server" 2>/dev/null || { cat "$state/server.log" >&2; exit 1; }
  sleep 0.1
done
[ -s "$state/port" ] || { echo "with-server: the test server did not start" >&2; exit 1; }
read -r port refused <"$state/port"

export ZELK_TEST_SERVER_PORT=$port
export ZELK_TEST_SERVER_REFUSED_PORT=$refused
export ZELK_TEST_SERVER_DIR="Z:${state//\//\\}"
status=0
"$@" || status=$?
exit $status
