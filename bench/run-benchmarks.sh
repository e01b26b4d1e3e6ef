#!/usr/bin/env bash
# Runs every benchmark of a build tree under Wine and prints their figures.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=$(cd "$build" && pwd)
prefix="$build/wineprefix"
echo "== log"
tools/wine-run.sh "$prefix" "$build/bench/LogBench.exe"
if [ -x bench/download-bench.sh ]; then
  echo "== download"
  bench/download-bench.sh "$build"
fi
