#!/usr/bin/env bash
# Runs a command with a small drive for the disk-full faults: a 64 MB tmpfs of its own (the wizard wants 50 MB to spare on the download drive), named to
# the tests (as a Windows path) in VTINST_SMALL_DISK. Where mounting is not allowed the command runs
# without it (the tests that need it say so).
# Usage: with-small-disk.sh <command> [args...]
set -euo pipefail
dir=$(mktemp -d /tmp/vtinst-small-disk.XXXXXX)
if ! mount -t tmpfs -o size=64m tmpfs "$dir" 2>/dev/null; then
  rmdir "$dir"
  echo "with-small-disk: cannot mount a small drive here; running without it" >&2
  exec "$@"
fi
trap 'umount "$dir" 2>/dev/null || umount -l "$dir" 2>/dev/null || true; rmdir "$dir" 2>/dev/null || true' EXIT
export VTINST_SMALL_DISK="Z:${dir//\//\\}"
"$@"
