#!/usr/bin/env bash
# Runs every benchmark of a build tree under Wine and prints their figures.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=$(cd "$build" && pwd)
prefix="$build/wineprefix"
echo "== log"
log_figures=$(tools/wine-run.sh "$prefix" "$build/bench/LogBench.exe" | tr -d '\r')
printf '%s\n' "$log_figures" | grep -v '^full_log_ms_per_entry='
per_entry=$(printf '%s\n' "$log_figures" | sed -n 's/^full_log_ms_per_entry=//p')
# A whole demo run (every page, both packages installed) started with a full log.
demo_line=$(VTINST_DEMO_FULL_LOG=1 demo/run-demo.sh "$build" 2>&1 | grep '^log: ' || true)
if [ -n "$demo_line" ] && [ -n "$per_entry" ]; then
  python3 - "$demo_line" "$per_entry" <<'PY'
import re, sys
entries, seconds = re.match(r"log: (\d+) entries written in a run of ([\d.]+) s", sys.argv[1]).groups()
spent = int(entries) * float(sys.argv[2]) / 1000.0
print("whole demo run on a full log : %s entries in %s s; WriteLog about %.1f s of it (%.1f%%)" % (
    entries, seconds, spent, 100.0 * spent / float(seconds)))
PY
fi
if [ -x bench/download-bench.sh ]; then
  echo "== download"
  bench/download-bench.sh "$build"
fi
