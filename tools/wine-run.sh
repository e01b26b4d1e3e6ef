#!/usr/bin/env bash
# Runs a Windows program under Wine inside a given prefix, creating the prefix on first use.
# Usage: wine-run.sh <prefix-dir> <program.exe> [args...]
# One prefix per build tree: created once (under a lock, so parallel tests wait for it) and reused.
set -euo pipefail
prefix=$1; shift
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono/Gecko install prompts in a fresh prefix.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$prefix/.ready" ]; then
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/.ready" ]; then
      wineboot -i >/dev/null 2>&1 || true
      wineserver -w || true
      touch "$prefix/.ready"
    fi
  ) 9>"$prefix.lock"
fi
exec wine "$@"
