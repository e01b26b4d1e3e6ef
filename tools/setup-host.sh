#!/usr/bin/env bash
# Installs what building and running the installer needs on a Debian 12 host: the i686 MinGW-w64
# cross compiler, 32-bit Wine, Xvfb for windows, and the tools the tests use. Safe to run again.
set -euo pipefail

need=()
command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-i686)
command -v wine >/dev/null && dpkg -s wine32:i386 >/dev/null 2>&1 || need+=(wine wine32:i386)
command -v Xvfb >/dev/null || need+=(xvfb)
command -v import >/dev/null || need+=(imagemagick)
command -v openssl >/dev/null || need+=(openssl)
command -v cmake >/dev/null || need+=(cmake)
command -v make >/dev/null || need+=(make)
[ -d /usr/src/googletest ] || need+=(googletest)

if [ ${#need[@]} -eq 0 ]; then
  exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "setup-host: missing packages (${need[*]}); run as root to install them" >&2
  exit 1
fi
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${need[@]}" >/dev/null
