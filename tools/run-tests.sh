#!/usr/bin/env bash
# Runs the whole test suite of a build tree: starts a private display and the loopback test
# server, then CTest (which runs each test program under Wine).
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# Wine honours these: a proxy of the machine's environment must not reach the tests.
unset http_proxy HTTP_PROXY https_proxy HTTPS_PROXY ftp_proxy no_proxy NO_PROXY all_proxy ALL_PROXY
# The test server checks itself first: the other tests rely on it.
python3 -m unittest discover -s tests/server -p 'test_*.py'
exec tools/with-display.sh tools/with-print-queue.sh tools/with-nginx.sh tools/with-squid.sh tools/with-small-disk.sh tools/with-test-server.sh ctest --test-dir "$build" --output-on-failure
