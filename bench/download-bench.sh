#!/usr/bin/env bash
# 100 MB from the loopback test server: through DownloadFile under Wine and with curl, in one run;
# then packages through the real download thread and page (100 MB, and 200 MB for the working set).
# Usage: bench/download-bench.sh <build-folder>
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=$(cd "$build" && pwd)
prefix="$build/wineprefix"
bench_exe="$build/bench/DownloadBench.exe"
[ -f "$bench_exe" ] || { echo "download-bench: $bench_exe not built" >&2; exit 1; }
command -v curl >/dev/null || { echo "download-bench: curl is needed" >&2; exit 1; }

work=$(mktemp -d)
server=""
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/docroot" "$work/target"
head -c 100000000 /dev/urandom >"$work/docroot/payload.bin"
head -c 200000000 /dev/urandom >"$work/docroot/large.bin"

python3 tests/server/vtserver.py --port-file "$work/ports.json" --docroot "$work/docroot" >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 100); do [ -s "$work/ports.json" ] && break; sleep 0.1; done
[ -s "$work/ports.json" ] || { echo "download-bench: test server did not start" >&2; cat "$work/server.log" >&2; exit 1; }
port=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["http"])' "$work/ports.json")
url="http://127.0.0.1:$port/payload.bin"

curl_bps=$(curl -s -o /dev/null -w '%{speed_download}' "$url")
engine=$(TMP= TEMP= tools/wine-run.sh "$prefix" "$bench_exe" "$url" "Z:${work//\//\\}\\target\\" | tr -d '\r')
page_exe="$build/bench/PageDownloadBench.exe"
page=$(TMP= TEMP= tools/wine-run.sh "$prefix" "$page_exe" "http://127.0.0.1:$port/large.bin" 200000000 "$url" 100000000 \
  "Z:${work//\//\\}\\target\\" | tr -d '\r')
value() { printf '%s\n' "$engine" | sed -n "s/^$1=//p"; }

python3 - "$curl_bps" "$(value downloadfile_mbps)" "$(value bare_read_mbps)" "$(value bytes)" <<'PY'
import sys
curl_mbps = float(sys.argv[1]) / 1e6
engine_mbps = float(sys.argv[2])
bare = sys.argv[3]
size = int(sys.argv[4])
print("payload                      : %d bytes (MB = 1,000,000 bytes)" % size)
print("DownloadFile under Wine      : %8.2f MB/s" % engine_mbps)
print("curl, same server            : %8.2f MB/s" % curl_mbps)
print("ratio DownloadFile / curl    : %8.4f  (curl is %.0fx faster)" % (engine_mbps / curl_mbps, curl_mbps / engine_mbps))
if bare:
    print("bare 1024-byte WinINet reads : %8.2f MB/s (this run)" % float(bare))
    print("DownloadFile / bare reads    : %8.2f" % (engine_mbps / float(bare)))
print("DownloadFile / ~13 MB/s bare-read ceiling of the platform notes: %.2f" % (engine_mbps / 13.0))
PY

page_value() { printf '%s\n' "$page" | sed -n "s/^$1=//p"; }
python3 - "$curl_bps" "$(value bare_read_mbps)" "$(page_value page_mbps)" "$(page_value page_messages)" \
  "$(page_value page_handler_us)" "$(page_value page_us_per_message)" "$(page_value trivial_mbps)" \
  "$(page_value trivial_us_per_message)" "$(page_value large_mbps)" "$(page_value idle_working_set)" \
  "$(page_value peak_working_set)" <<'PY'
import sys
curl, bare, page, messages, handler, per_message, trivial, trivial_per_message, large, idle, peak = sys.argv[1:]
curl = float(curl) / 1e6
page, trivial, large = float(page), float(trivial), float(large)
print("-- 100 MB through the download thread and page")
print("download page under Wine     : %8.2f MB/s (%s progress messages)" % (page, messages))
if bare:
    print("page / bare 1024-byte reads  : %8.4f" % (page / float(bare)))
print("page / curl                  : %8.4f" % (page / curl))
print("page with a trivial handler  : %8.2f MB/s" % trivial)
print("per progress message         : %8.1f us with the page, %.1f us with a trivial handler (%+.1f%%)" % (
    float(per_message), float(trivial_per_message), 100.0 * (float(per_message) / float(trivial_per_message) - 1)))
print("page's own handler time      : %8.2f us per message" % float(handler))
print("-- 200 MB through the download thread and page")
print("download page under Wine     : %8.2f MB/s" % large)
print("working set idle / peak      : %.1f MB / %.1f MB (peak - idle = %.1f MB)" % (
    int(idle) / 1048576.0, int(peak) / 1048576.0, (int(peak) - int(idle)) / 1048576.0))
PY
