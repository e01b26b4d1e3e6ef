#!/usr/bin/env bash
# Runs a command with nginx from Debian serving test packages on a free loopback port (its own
# config, pid and logs, no service manager). Its address is in VTINST_NGINX_URL, its document
# folder (which tests may fill) in VTINST_NGINX_ROOT as a Windows path. The files:
# pattern5000.bin, 5000 bytes where byte i is i % 251 (as the test server's generated bodies).
# Without nginx the command runs without it (the tests that need it say so).
# Usage: with-nginx.sh <command> [args...]
set -euo pipefail
if ! command -v nginx >/dev/null; then
  echo "with-nginx: nginx missing; running without it" >&2
  exec "$@"
fi
dir=$(mktemp -d /tmp/vtinst-nginx.XXXXXX)
mkdir -p "$dir/html" "$dir/temp"
chmod 755 "$dir" "$dir/html"
python3 -c 'import sys; open(sys.argv[1], "wb").write(bytes(i % 251 for i in range(5000)))' "$dir/html/pattern5000.bin"
chmod 644 "$dir/html/pattern5000.bin"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$dir/nginx.conf" <<CONF
worker_processes 1;
pid $dir/nginx.pid;
error_log $dir/error.log;
events { worker_connections 64; }
http {
  access_log $dir/access.log;
  client_body_temp_path $dir/temp/client;
  proxy_temp_path $dir/temp/proxy;
  fastcgi_temp_path $dir/temp/fastcgi;
  uwsgi_temp_path $dir/temp/uwsgi;
  scgi_temp_path $dir/temp/scgi;
  default_type application/octet-stream;
  server {
    listen 127.0.0.1:$port;
    root $dir/html;
  }
}
CONF
nginx -p "$dir" -c "$dir/nginx.conf" -e "$dir/error.log" -g 'daemon off;' &
nginx=$!
trap 'kill $nginx 2>/dev/null || true; wait $nginx 2>/dev/null || true; rm -rf "$dir"' EXIT
for _ in $(seq 50); do curl -s -o /dev/null "http://127.0.0.1:$port/pattern5000.bin" && break; sleep 0.1; done
export VTINST_NGINX_URL="http://127.0.0.1:$port"
export VTINST_NGINX_ROOT="Z:${dir//\//\\}\\html"
"$@"
