#!/usr/bin/env bash
# Copies the pages photographed by the last `make demo` into docs/screenshots, which the README
# shows, and the pages the demo's run does not reach (the restart question, the other power-off
# templates) from the last `make test` (its integration tests photograph them into test-shots).
# Usage: tools/refresh-screenshots.sh [build-folder]   (run `make demo` and `make test` first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/$("$root/tools/host-arch.sh")}
shots="$build/demo-run/shots"
[ -d "$shots" ] || { echo "refresh-screenshots: no demo screenshots in $shots (run make demo)" >&2; exit 1; }
for page in folder license review download install completion power-off; do
  shot=$(ls "$shots"/*-"$page".png 2>/dev/null | head -1)
  [ -n "$shot" ] && cp "$shot" "$root/docs/screenshots/$page.png" && echo "docs/screenshots/$page.png"
done
for shot in "$build"/test-shots/*.bmp; do
  [ -e "$shot" ] || continue
  name=$(basename "${shot%.bmp}")
  convert "$shot" "$root/docs/screenshots/$name.png" && echo "docs/screenshots/$name.png"
done
