#!/usr/bin/env bash
# Runs a command with squid from Debian as an authenticating proxy on a free loopback port (its own
# config, pid, logs and cache-less setup, no service manager). It asks for Basic proxy credentials
# (407 when they are missing or wrong). Exported: VTINST_SQUID_PROXY ("127.0.0.1:port"),
# VTINST_SQUID_CREDENTIALS ("user:password") and VTINST_SQUID_LOG (its access log, a Windows path).
# Without squid the command runs without it (the tests that need it say so).
# Usage: with-squid.sh <command> [args...]
set -euo pipefail
if ! command -v squid >/dev/null || [ ! -x /usr/lib/squid/basic_ncsa_auth ]; then
  echo "with-squid: squid missing; running without it" >&2
  exec "$@"
fi
dir=$(mktemp -d /tmp/vtinst-squid.XXXXXX)
user=vtinst-proxy
password=Pr0xy-pass
printf '%s:%s\n' "$user" "$(openssl passwd -apr1 "$password")" >"$dir/passwd"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$dir/squid.conf" <<CONF
http_port 127.0.0.1:$port
pid_filename $dir/squid.pid
cache_log $dir/cache.log
access_log stdio:$dir/access.log
cache deny all
pinger_enable off
auth_param basic program /usr/lib/squid/basic_ncsa_auth $dir/passwd
auth_param basic realm VTInst test proxy
acl authed proxy_auth REQUIRED
http_access allow localhost authed
http_access deny all
dns_nameservers 127.0.0.1
udp_incoming_address 127.0.0.1
udp_outgoing_address 127.0.0.1
CONF
chown -R proxy "$dir" 2>/dev/null || true
chmod 755 "$dir"
squid -N -f "$dir/squid.conf" >"$dir/squid.out" 2>&1 &
squid=$!
trap 'kill $squid 2>/dev/null || true; wait $squid 2>/dev/null || true; rm -rf "$dir"' EXIT
for _ in $(seq 100); do
  python3 -c 'import socket,sys; socket.create_connection(("127.0.0.1", int(sys.argv[1])), 0.2)' "$port" 2>/dev/null && break
  sleep 0.1
done
export VTINST_SQUID_PROXY="127.0.0.1:$port"
export VTINST_SQUID_CREDENTIALS="$user:$password"
export VTINST_SQUID_LOG="Z:${dir//\//\\}\\access.log"
"$@"
