#!/usr/bin/env bash
# What the installer costs a user's machine, measured on this machine:
#   - peak working set while a 512 MiB file downloads: through the silent
#     install flow (app_tests.exe, when built) and through the download
#     handler over WinINet and over libcurl (read from inside with
#     GetProcessMemoryInfo, under Wine);
#   - the process's handle count before and after 50 downloads;
#   - the size of the stripped i686 release exe, and its bytes per library
#     from the linker map (scripts/map-sizes.py).
# Figures are printed, not checked.
#   scripts/resource-report.sh [x86_64-build-dir] [i686-build-dir]
#   scripts/resource-report.sh --size [i686-build-dir]    the size part only
# (defaults build/x86_64, configured with tests, and build/i686, release).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

size_report() {
  local release=$1 exe stripped
  exe=$(ls "$release"/bin/zelkpdf_*.exe 2>/dev/null | head -1 || true)
  if [ -z "$exe" ]; then
    echo "i686 release exe: not built (scripts/build.sh i686 -DZELK_BUILD_TESTS=OFF)"
    return
  fi
  # The release link strips the exe (-s); strip again in case it was built otherwise.
  stripped=$(mktemp)
  i686-w64-mingw32-strip -o "$stripped" "$exe"
  echo "i686 release exe $(basename "$exe"): $(stat -c %s "$stripped") bytes stripped"
  echo "bytes per library, from the linker map (unwind: .eh_frame; other: data, imports, resources):"
  python3 "$root/scripts/map-sizes.py" "$release/app/zelkpdf.map" "$stripped"
  rm -f "$stripped"
}

if [ "${1:-}" = --size ]; then
  size_report "${2:-$root/build/i686}"
  exit 0
fi
build=${1:-$root/build/x86_64}
release=${2:-$root/build/i686}
export ZELK_REPORT_FILE=report-512m.bin
[ -x "$build/bin/download_tests.exe" ] || { echo "report: build $build with -DZELK_BUILD_TESTS=ON first" >&2; exit 1; }

run() {
  local files=${ZELK_TEST_SERVER_DIR#Z:}
  files=${files//\\//}/files
  head -c $((512 * 1024 * 1024)) /dev/urandom >"$files/$ZELK_REPORT_FILE"
  "$root/tests/harness/wine-run.sh" "$build/harness" "$build/bin/download_tests.exe" \
    --gtest_also_run_disabled_tests --gtest_filter='ResourceReport.*' |
    grep -E '^(before|WinINet|libcurl|handles)|Failure|FAILED' || true
  if [ -x "$build/bin/app_tests.exe" ]; then
    "$root/tests/harness/wine-run.sh" "$build/harness" "$build/bin/app_tests.exe" \
      --gtest_also_run_disabled_tests --gtest_filter='SilentInstallResource.*' |
      grep -E '^silent|Failure|FAILED' || true
  fi
  rm -f "$files/$ZELK_REPORT_FILE"
}
export -f run
export root build
"$root/tests/server/with-server.sh" bash -c run

size_report "$release"
