#!/usr/bin/env bash
# Runs a command with a private Xvfb display (Wine needs one to create windows), then stops it.
# Usage: with-display.sh <command> [args...]
set -euo pipefail
display=${VTINST_DISPLAY:-}
if [ -z "$display" ]; then
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
  done
fi
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
export DISPLAY=":$display"
"$@"
