#!/usr/bin/env bash
# Runs a command with a private CUPS daemon (its own config and socket, no service manager) whose
# default queue "PDF" prints into PDF files, so the programs under Wine have a real default printer.
# Prints go to ~/PDF of the printing user. Without cupsd the command runs without a printer.
# Usage: with-print-queue.sh <command> [args...]
set -euo pipefail
if ! command -v cupsd >/dev/null || [ ! -f /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd ]; then
  echo "with-print-queue: cupsd or cups-pdf missing; running without a printer" >&2
  exec "$@"
fi
dir=$(mktemp -d /tmp/vtinst-cups.XXXXXX)
mkdir -p "$dir/etc" "$dir/spool/tmp" "$dir/state" "$dir/cache" "$dir/log"
printf 'LogLevel info\nListen %s/cups.sock\nBrowsing No\nWebInterface No\nDefaultAuthType None\n<Location />\n  Order allow,deny\n  Allow all\n</Location>\n<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n' \
  "$dir" >"$dir/etc/cupsd.conf"
printf 'ServerRoot %s/etc\nRequestRoot %s/spool\nTempDir %s/spool/tmp\nStateDir %s/state\nCacheDir %s/cache\nErrorLog %s/log/error_log\nAccessLog %s/log/access_log\nPageLog %s/log/page_log\nSystemGroup root\n' \
  "$dir" "$dir" "$dir" "$dir" "$dir" "$dir" "$dir" "$dir" >"$dir/etc/cups-files.conf"
cupsd -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" &
cupsd=$!
trap 'kill $cupsd 2>/dev/null || true; wait $cupsd 2>/dev/null || true; rm -rf "$dir"' EXIT
for _ in $(seq 50); do [ -S "$dir/cups.sock" ] && break; sleep 0.1; done
export CUPS_SERVER="$dir/cups.sock"
lpadmin -p PDF -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
lpadmin -d PDF
"$@"
