#!/usr/bin/env bash
# Runs a Windows program under Wine inside a given prefix, creating the prefix on first use.
# Usage: wine-run.sh <prefix-dir> <program.exe> [args...]
# One prefix per build tree: created once (under a lock, so parallel tests wait for it) and reused.
# A 64-bit program runs under wine64 (its prefix is then a 64-bit one); a 32-bit one under wine.
set -euo pipefail
prefix=$1; shift
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono/Gecko install prompts in a fresh prefix.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# The PE header's machine field: 8664 for x86_64, 014c for i386.
pe_machine() {
  local offset
  offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tx2 -j$((offset + 4)) -N2 "$1" | tr -d ' '
}
wine=wine
if [ -f "$1" ] && [ "$(pe_machine "$1")" = 8664 ]; then
  wine=/usr/lib/wine/wine64
  export WINELOADER=$wine
fi

if [ ! -f "$prefix/.ready" ]; then
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/.ready" ]; then
      "$wine" wineboot.exe -i >/dev/null 2>&1 || true
      wineserver -w || true
      touch "$prefix/.ready"
    fi
  ) 9>"$prefix.lock"
fi
exec "$wine" "$@"
