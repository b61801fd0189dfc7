#!/usr/bin/env bash
# Fault-injected download soak: runs the download handler against the local
# test server (127.0.0.1 only) in a fault mode chosen at random per run, with
# and without the libcurl DLL, and prints per-mode results; every run must end
# byte-identical to the server's file or cleanly failed (0 corrupt). Then, when
# app_tests.exe is built, a sample of the faults through the silent install
# flow: the package that runs must be the signed one, byte for byte.
#   scripts/soak-download.sh [build-dir]       (default build/x86_64, built with tests)
#   ZELK_SOAK_RUNS=200 (default)       handler runs
#   ZELK_SILENT_SOAK_RUNS=20 (default) silent install runs
#   ZELK_SOAK_SEED=<first seed>        (default: the clock; run i uses seed + i)
#   ZELK_SOAK_ONLY=handler|silent      one of the two
# Reproduce one run from its printed seed:
#   ZELK_SOAK_ONLY=handler ZELK_SOAK_SEED=<seed> ZELK_SOAK_RUNS=1 scripts/soak-download.sh
#   ZELK_SOAK_ONLY=silent ZELK_SOAK_SEED=<seed> ZELK_SILENT_SOAK_RUNS=1 scripts/soak-download.sh
# The ctest entry download_soak runs a short form of the first (12 runs).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/x86_64}
only=${ZELK_SOAK_ONLY:-}
[ -x "$build/bin/download_tests.exe" ] || { echo "soak: build $build with -DZELK_BUILD_TESTS=ON first" >&2; exit 1; }

status=0
if [ "$only" != silent ]; then
  ZELK_SOAK_RUNS=${ZELK_SOAK_RUNS:-200} "$root/tests/server/with-server.sh" "$root/tests/harness/wine-run.sh" \
    "$build/harness" "$build/bin/download_tests.exe" --gtest_also_run_disabled_tests \
    --gtest_filter='DownloadSoak.*' || status=1
fi
if [ "$only" != handler ]; then
  if [ -x "$build/bin/app_tests.exe" ]; then
    ZELK_SOAK_RUNS=${ZELK_SILENT_SOAK_RUNS:-20} "$root/tests/server/with-server.sh" \
      "$root/tests/harness/wine-run.sh" "$build/harness" "$build/bin/app_tests.exe" \
      --gtest_also_run_disabled_tests --gtest_filter='SilentInstallSoak.*' || status=1
  else
    echo "soak: $build/bin/app_tests.exe is not built; the silent install soak was skipped" >&2
  fi
fi
exit $status
