#!/usr/bin/env bash
# Runs a command with the loopback test web server running; its ports are in the file named by
# VTINST_TEST_SERVER_PORTS (a host path; tests under Wine see it as Z:<path>).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ ! -f "$root/tests/server/vtserver.py" ]; then exec "$@"; fi
work=$(mktemp -d)
ports="$work/ports.json"
python3 "$root/tests/server/vtserver.py" --port-file "$ports" >"$work/server.log" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true; wait $server 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$ports" ] && break; sleep 0.1; done
[ -s "$ports" ] || { echo "test server did not start:"; cat "$work/server.log"; exit 1; }
export VTINST_TEST_SERVER_PORTS="Z:${ports//\//\\}"
"$@"
