#!/usr/bin/env bash
# Installs what building and running the installer needs on a Debian 12 host: the i686 MinGW-w64
# cross compiler (the product is a 32-bit program), Wine, Xvfb for windows, and the tools the tests
# use. With "x86_64" (a host that cannot run 32-bit programs) it adds wine64 and the x86_64 cross
# compiler, which build and run everything but the product. Safe to run again.
# Usage: setup-host.sh [i686|x86_64]
set -euo pipefail
arch=${1:-i686}

need=()
command -v i686-w64-mingw32-g++-win32 >/dev/null || need+=(g++-mingw-w64-i686)
command -v wine >/dev/null && dpkg -s wine32:i386 >/dev/null 2>&1 || need+=(wine wine32:i386)
if [ "$arch" = x86_64 ]; then
  [ -x /usr/lib/wine/wine64 ] || need+=(wine64)
  command -v x86_64-w64-mingw32-g++-win32 >/dev/null || need+=(g++-mingw-w64-x86-64)
fi
command -v Xvfb >/dev/null || need+=(xvfb)
command -v import >/dev/null || need+=(imagemagick)
command -v openssl >/dev/null || need+=(openssl)
command -v nginx >/dev/null || need+=(nginx-light)
command -v wixl >/dev/null || need+=(wixl)
command -v squid >/dev/null || need+=(squid)
command -v cupsd >/dev/null && [ -f /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd ] || need+=(cups printer-driver-cups-pdf)
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
# Servers such as nginx and squid are started by the tests themselves, never as services: without a
# service manager their start at installation would fail the installation.
policy=/usr/sbin/policy-rc.d
made_policy=0
if [ ! -e "$policy" ]; then
  printf '#!/bin/sh\nexit 101\n' >"$policy" && chmod +x "$policy" && made_policy=1
fi
trap '[ "$made_policy" = 1 ] && rm -f "$policy"' EXIT
apt-get update -qq
apt-get install -y -qq "${need[@]}" >/dev/null
