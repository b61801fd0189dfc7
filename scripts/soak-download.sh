#!/usr/bin/env bash
# Fault-injected download soak: runs the download handler against the local
# test server (127.0.0.1 only) in a fault mode chosen at random per run, with
# and without the libcurl DLL, and prints per-mode results; every run must end
# byte-identical to the server's file or cleanly failed (0 corrupt).
#   scripts/soak-download.sh [build-dir]       (default build/x86_64, built with tests)
#   ZELK_SOAK_RUNS=200 (default) ZELK_SOAK_SEED=<first seed> (default: the clock)
# Reproduce one run from its printed seed:
#   ZELK_SOAK_SEED=<seed> ZELK_SOAK_RUNS=1 scripts/soak-download.sh
# The ctest entry download_soak runs a short form (12 runs).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/x86_64}
export ZELK_SOAK_RUNS=${ZELK_SOAK_RUNS:-200}
[ -x "$build/bin/download_tests.exe" ] || { echo "soak: build $build with -DZELK_BUILD_TESTS=ON first" >&2; exit 1; }
exec "$root/tests/server/with-server.sh" "$root/tests/harness/wine-run.sh" "$build/harness" \
  "$build/bin/download_tests.exe" --gtest_also_run_disabled_tests --gtest_filter='DownloadSoak.*'
