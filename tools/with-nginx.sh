#!/usr/bin/env bash
# Runs a command with nginx from Debian serving test packages on a free loopback port (its own
# config, pid and logs, no service manager). Its address is in VTINST_NGINX_URL, its document
# folder (which tests may fill) in VTINST_NGINX_ROOT as a Windows path. The files:
# pattern5000.bin, 5000 bytes where byte i is i % 251 (as the test server's generated bodies);
# private/pattern5000.bin behind Basic authorization (VTINST_NGINX_CREDENTIALS), and
# cut/pattern5000.bin whose answer promises 8000 bytes but ends after 5000.
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
# The same file behind Basic authorization (user pkg, password secret), and one whose answer
# promises 8000 bytes and ends after its 5000: a body cut short mid-way.
mkdir -p "$dir/html/private" "$dir/html/cut"
cp "$dir/html/pattern5000.bin" "$dir/html/private/"
cp "$dir/html/pattern5000.bin" "$dir/html/cut/"
printf 'pkg:%s\n' "$(openssl passwd -apr1 secret)" >"$dir/htpasswd"
chmod 755 "$dir/html/private" "$dir/html/cut"
chmod 644 "$dir/html/pattern5000.bin" "$dir/html/private/pattern5000.bin" "$dir/html/cut/pattern5000.bin" "$dir/htpasswd"
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
    location /private/ {
      auth_basic "packages";
      auth_basic_user_file $dir/htpasswd;
    }
    location = /cut/pattern5000.bin {
      ssi on;
      ssi_types *;
      add_header Content-Length 8000 always;
    }
  }
}
CONF
nginx -p "$dir" -c "$dir/nginx.conf" -e "$dir/error.log" -g 'daemon off;' &
nginx=$!
trap 'kill $nginx 2>/dev/null || true; wait $nginx 2>/dev/null || true; rm -rf "$dir"' EXIT
for _ in $(seq 50); do curl -s -o /dev/null "http://127.0.0.1:$port/pattern5000.bin" && break; sleep 0.1; done
export VTINST_NGINX_URL="http://127.0.0.1:$port"
export VTINST_NGINX_CREDENTIALS="pkg:secret"
export VTINST_NGINX_ROOT="Z:${dir//\//\\}\\html"
"$@"
