#!/usr/bin/env bash
# Runs a command while the test HTTP server (http_server.py) listens on a free
# port of 127.0.0.1, and stops the server by its PID when the command ends:
#   with-server.sh COMMAND [ARGS...]
# The command sees (Wine passes these on to Windows programs):
#   ZELK_TEST_SERVER_PORT          the server's port
#   ZELK_TEST_SERVER_REFUSED_PORT  a port nobody listens on
#   ZELK_TEST_SERVER_UNANSWERED_PORT  a port whose listener never accepts:
#                                  a connect there neither succeeds nor fails
#   ZELK_TEST_SERVER_HTTPS_PORT    the same server over https, with a
#                                  certificate under this run's test root
#   ZELK_TEST_SERVER_UNTRUSTED_PORT  the same over https, with a certificate
#                                  under a root nobody trusts
#   ZELK_TEST_SERVER_INCOMPLETE_PORT  the same over https, with a certificate
#                                  under an intermediate of the test root that
#                                  the server does not send
#   ZELK_TEST_SERVER_ROOT_SHA1     the test root's thumbprint (wine-run.sh
#                                  deletes Wine's registry copy of it)
#   ZELK_TEST_SERVER_DIR           the server's state folder as a Windows path
#                                  (requests\ holds the recorded requests,
#                                  files\ what /files/ serves)
#   ZELK_TEST_PROXY_PORT           Debian's tinyproxy on 127.0.0.1, an HTTP
#                                  proxy (CONNECT too) for the proxy tests
#   ZELK_TEST_PROXY_LOG            its log, which names every request it
#                                  forwarded, as a Windows path
#
# The test root is made for this run (make-tls-certs.sh) and trusted only
# while the command runs: WinINet under Wine checks server certificates
# against the host's roots, not against roots added to the prefix's
# registry, so host-root.sh adds it to the host bundle under this run's own
# name and the exit trap takes it out again, also after a failure or a
# signal, together with the copy Wine made of it in the prefix (when this
# runs inside wine-run.sh; when wine-run.sh runs inside this, it does that). The roots' keys never outlive make-tls-certs.sh; the two server
# keys are deleted as soon as the server has read them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

state=$(mktemp -d "${TMPDIR:-/tmp}/zelk-server.XXXXXX")
run_id=$(basename "$state")
server=
proxy=
trusted=0

stop_server() {
  for pid in $server $proxy; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  if [ $trusted = 1 ]; then
    "$here/host-root.sh" remove "$run_id" || true
    "$here/host-root.sh" forget "$thumbprint" || true
  fi
  rm -rf "$state"
}
trap stop_server EXIT
trap 'exit 143' TERM INT HUP

tls="$state/tls"
"$here/make-tls-certs.sh" "$tls"
thumbprint=$(openssl x509 -in "$tls/test_root.pem" -noout -fingerprint -sha1 | sed 's/.*=//; s/://g')
# Without write access to the host bundle the plain and untrusted cases
# still run; those that need a trusted https server then fail and say why.
if ZELK_HOST_ROOT_OWNER=$$ "$here/host-root.sh" add "$run_id" "$tls/test_root.pem"; then
  trusted=1
else
  echo "with-server: could not add the test root to the host's bundle; https tests will fail" >&2
fi

# /usr/bin/python3 itself: a version-manager shim would hide the server's PID.
/usr/bin/python3 "$here/http_server.py" --state-dir "$state" --max-seconds 3600 \
  --tls "$tls/server.pem" "$tls/server.key" --tls "$tls/untrusted.pem" "$tls/untrusted.key" \
  --tls "$tls/incomplete.pem" "$tls/incomplete.key" \
  </dev/null >"$state/server.log" 2>&1 &
server=$!

for _ in $(seq 100); do
  [ -s "$state/port" ] && break
  kill -0 "$server" 2>/dev/null || { cat "$state/server.log" >&2; exit 1; }
  sleep 0.1
done
[ -s "$state/port" ] || { echo "with-server: the test server did not start" >&2; exit 1; }
read -r port refused https untrusted incomplete unanswered <"$state/port"
rm -f "$tls"/*.key

# tinyproxy reads its port from its configuration: a free one is picked
# and tried, again with another if something took it in between.
start_proxy() {
  command -v tinyproxy >/dev/null || { echo "with-server: no tinyproxy; the proxy tests will fail" >&2; return 1; }
  local dir="$state/proxy"
  mkdir -p "$dir"
  for _ in 1 2 3 4 5; do
    proxy_port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    cat >"$dir/tinyproxy.conf" <<EOF
Port $proxy_port
Listen 127.0.0.1
Allow 127.0.0.1
Timeout 600
MaxClients 100
LogFile "$dir/tinyproxy.log"
LogLevel Connect
ViaProxyName "zelk-test-proxy"
EOF
    : >"$dir/tinyproxy.log"
    tinyproxy -d -c "$dir/tinyproxy.conf" </dev/null >"$dir/tinyproxy.out" 2>&1 &
    proxy=$!
    for _ in $(seq 50); do
      kill -0 "$proxy" 2>/dev/null || break
      if (exec 3<>"/dev/tcp/127.0.0.1/$proxy_port") 2>/dev/null; then
        proxy_log="$dir/tinyproxy.log"
        return 0
      fi
      sleep 0.1
    done
    kill "$proxy" 2>/dev/null || true
    wait "$proxy" 2>/dev/null || true
    proxy=
  done
  echo "with-server: tinyproxy did not start (see $dir); the proxy tests will fail" >&2
  return 1
}
if start_proxy; then
  export ZELK_TEST_PROXY_PORT=$proxy_port
  export ZELK_TEST_PROXY_LOG="Z:${proxy_log//\//\\}"
fi

export ZELK_TEST_SERVER_PORT=$port
export ZELK_TEST_SERVER_REFUSED_PORT=$refused
export ZELK_TEST_SERVER_UNANSWERED_PORT=$unanswered
export ZELK_TEST_SERVER_HTTPS_PORT=$https
export ZELK_TEST_SERVER_UNTRUSTED_PORT=$untrusted
export ZELK_TEST_SERVER_INCOMPLETE_PORT=$incomplete
export ZELK_TEST_SERVER_ROOT_SHA1=$thumbprint
export ZELK_TEST_SERVER_DIR="Z:${state//\//\\}"
status=0
"$@" || status=$?
exit $status
