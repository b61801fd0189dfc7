#!/usr/bin/env bash
# Download throughput: a 512 MiB file from the local test server through the
# handler's libcurl path, its WinINet path (both under Wine), and the curl
# command-line tool on the same file.
#   scripts/bench-download.sh [build-dir]   (default build/x86_64, built with tests)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/x86_64}
export ZELK_BENCH_FILE=bench-512m.bin

run() {
  local files=${ZELK_TEST_SERVER_DIR#Z:}
  files=${files//\\//}/files
  head -c $((512 * 1024 * 1024)) /dev/urandom >"$files/$ZELK_BENCH_FILE"
  local url="http://127.0.0.1:$ZELK_TEST_SERVER_PORT/files/$ZELK_BENCH_FILE"
  curl -s -o /dev/null -w 'curl CLI: %{size_download} bytes at %{speed_download} B/s\n' "$url" |
    awk '{ printf "curl CLI: %.0f MiB = %.1f MB/s\n", $3 / 1048576, $6 / 1048576 }'
  "$root/tests/harness/wine-run.sh" "$build/harness" "$build/bin/download_tests.exe" \
    --gtest_also_run_disabled_tests --gtest_filter='DownloadBenchmark.*' | grep -E '^ours|^(libcurl|WinINet): error|Failure|FAILED'
}
export -f run
export root build
"$root/tests/server/with-server.sh" bash -c run
