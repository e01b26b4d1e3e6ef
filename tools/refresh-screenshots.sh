#!/usr/bin/env bash
# Copies the pages photographed by the last `make demo` into docs/screenshots, which the README
# shows. Usage: tools/refresh-screenshots.sh [build-folder]   (run `make demo` first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/$("$root/tools/host-arch.sh")}
shots="$build/demo-run/shots"
[ -d "$shots" ] || { echo "refresh-screenshots: no demo screenshots in $shots (run make demo)" >&2; exit 1; }
for page in folder license review download install; do
  shot=$(ls "$shots"/*-"$page".png 2>/dev/null | head -1)
  [ -n "$shot" ] && cp "$shot" "$root/docs/screenshots/$page.png" && echo "docs/screenshots/$page.png"
done
