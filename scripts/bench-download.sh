#!/usr/bin/env bash
# Download throughput against a real web server: nginx (Debian's
# nginx-light, its own config under build/bench) serves a 512 MiB file on
# 127.0.0.1, and in the same run, for each build given (default: i686 then
# x86_64, test builds), each transport is measured three ways:
#   ours    the download handler (download_tests.exe, DownloadBenchmark.*),
#           and the whole silent install of a signed 512 MiB package
#           (app_tests.exe, InstallBenchmark.*: download, the copy into the
#           protected run folder, the signer check, the package's run);
#   plain   the practical limit on that transport under the same Wine: a
#           plain WinINet loop of 16 KiB reads (plain_wininet.exe), a plain
#           libcurl easy transfer with the same DLL and 512 KiB buffer
#           (plain_curl.exe);
# and once the native curl tool, which does not go through Wine at all.
# Each figure is the median of ZELK_BENCH_RUNS runs (default 3), every run
# writing the whole file to disk; ratios are ours / plain, and the install's
# cost over the handler's download of the same bytes is printed in seconds.
#   scripts/bench-download.sh [build-dir...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
builds=("$@")
[ ${#builds[@]} -gt 0 ] || builds=("$root/build/i686" "$root/build/x86_64")
runs=${ZELK_BENCH_RUNS:-3}
bench=$root/build/bench
mkdir -p "$bench/www" "$bench/out" "$bench/nginx"
file=bench-512m.bin
[ "$(stat -c %s "$bench/www/$file" 2>/dev/null || echo 0)" = $((512 * 1024 * 1024)) ] ||
  head -c $((512 * 1024 * 1024)) /dev/urandom >"$bench/www/$file"

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$bench/nginx/nginx.conf" <<CONF
daemon off;
worker_processes 1;
user root;
pid $bench/nginx/nginx.pid;
error_log $bench/nginx/error.log;
events { worker_connections 64; }
http {
  access_log $bench/nginx/access.log;
  client_body_temp_path $bench/nginx/body;
  proxy_temp_path $bench/nginx/proxy;
  fastcgi_temp_path $bench/nginx/fastcgi;
  uwsgi_temp_path $bench/nginx/uwsgi;
  scgi_temp_path $bench/nginx/scgi;
  sendfile on;
  default_type application/octet-stream;
  server { listen 127.0.0.1:$port; root $bench/www; }
}
CONF
nginx -p "$bench/nginx" -c "$bench/nginx/nginx.conf" &
nginx_pid=$!
trap 'kill $nginx_pid 2>/dev/null || true; rm -f "$bench"/out/*' EXIT
url=http://127.0.0.1:$port/$file
for _ in $(seq 50); do curl -sf -o /dev/null -r 0-0 "$url" && break; sleep 0.1; done

# Warm the page cache so the first transport measured pays no disk read.
cat "$bench/www/$file" >/dev/null

# The signed package: the unsigned demo product with 512 MiB of data
# appended, signed by the listed test publisher of that build's fixtures.
package=package-512m.exe
make_package() {
  local fixtures=$1/bin/silent_fixtures
  cat "$fixtures/product_unsigned.exe" "$bench/www/$file" >"$bench/package.unsigned"
  "$root/tests/verify/sign-file.sh" "$fixtures/signing/mobile.key" "$fixtures/signing/mobile.chain.pem" \
    "$bench/package.unsigned" "$bench/www/$package"
  rm -f "$bench/package.unsigned"
  cat "$bench/www/$package" >/dev/null
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
mbps() { awk -v b="$1" -v s="$2" 'BEGIN { printf "%.1f", b / 1e6 / s }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# One run of a command that prints "<bytes> <seconds>": "<MB/s> <seconds>".
once() {
  local line
  line=$("$@" | tail -1)
  rm -f "$bench"/out/*
  [ -n "$line" ] || { echo "bench: $* printed no figure" >&2; exit 1; }
  echo "$(mbps $line) ${line#* }"
}

# The medians "<MB/s> <seconds>" of `runs` runs of each command given, run
# in turn (one run of each, then the next round), so that a change in the
# machine's load falls on all of them alike. One line per command.
measure() {
  local round command figures=()
  for round in $(seq "$runs"); do
    for command in "$@"; do figures+=("$command $(once "$command")"); done
  done
  for command in "$@"; do
    printf '%s\n' "${figures[@]}" | awk -v c="$command" '$1 == c { print $2 }' | median | tr '\n' ' '
    printf '%s\n' "${figures[@]}" | awk -v c="$command" '$1 == c { print $3 }' | median
  done
}

native() {
  curl -s -o "$bench/out/native.bin" -w '%{size_download} %{time_total}\n' "$url"
}
read -r native_speed _ < <(measure native)
echo "native curl tool: $native_speed MB/s"

for build in "${builds[@]}"; do
  arch=$(basename "$build")
  wine_run=("$root/tests/harness/wine-run.sh" "$build/harness")
  out="Z:${bench//\//\\}\\out"
  plain_wininet() { "${wine_run[@]}" "$build/bin/plain_wininet.exe" "$url" "$out\\plain.bin"; }
  plain_curl() { "${wine_run[@]}" "$build/bin/plain_curl.exe" "$url" "$out\\plain.bin"; }
  ours() {
    ZELK_BENCH_URL=$url ZELK_BENCH_TRANSPORT=$1 "${wine_run[@]}" "$build/bin/download_tests.exe" --gtest_also_run_disabled_tests \
      --gtest_filter='DownloadBenchmark.*' | awk -v t="$1" '$1 == "ours" && $2 == t { print $3, $4 }'
  }
  install() {
    ZELK_BENCH_PACKAGE_URL=http://127.0.0.1:$port/$package ZELK_BENCH_PACKAGE_SIZE=$(stat -c %s "$bench/www/$package") \
      ZELK_BENCH_TRANSPORT=$1 \
      "${wine_run[@]}" "$build/bin/app_tests.exe" --gtest_also_run_disabled_tests \
      --gtest_filter='InstallBenchmark.*' | awk -v t="$1" '$1 == "install" && $2 == t { print $3, $4 }'
  }
  ours_curl() { ours libcurl; }
  ours_wininet() { ours WinINet; }
  install_curl() { install libcurl; }
  install_wininet() { install WinINet; }
  make_package "$build"
  for transport in WinINet libcurl; do
    if [ $transport = WinINet ]; then plain=plain_wininet ours=ours_wininet inst=install_wininet what="plain loop"
    else plain=plain_curl ours=ours_curl inst=install_curl what="plain transfer"; fi
    { read -r p _; read -r o download_seconds; read -r i install_seconds; } < <(measure $plain $ours $inst)
    echo "$arch $transport: $what $p MB/s, ours $o MB/s, ratio $(ratio "$o" "$p");" \
      "silent install $i MB/s, $(awk -v a="$install_seconds" -v b="$download_seconds" 'BEGIN { printf "%+.2f", a - b }') s over the download"
  done
done
