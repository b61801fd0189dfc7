#!/usr/bin/env bash
# Time from process start to a visible, painted window: the installer as
# users get it against the plainest GDI+ window program, in the same run,
# for each build folder given (the disabled StartupBenchmark.* case of
# app_tests.exe, run under Wine on the build's harness display).
#   scripts/bench-startup.sh [build-dir...]   (default build/i686 build/x86_64)
# ZELK_BENCH_STARTUP_RUNS starts of each program (default 10); the figures
# are medians.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
builds=("$@")
[ ${#builds[@]} -gt 0 ] || builds=("$root/build/i686" "$root/build/x86_64")

rows=()
for build in "${builds[@]}"; do
  [ -f "$build/bin/app_tests.exe" ] || { echo "bench-startup: no test build in $build" >&2; exit 1; }
  # The harness's display and wineserver are up before app_tests.exe runs,
  # and each program is started once untimed first: no timed start pays
  # for Wine's own start.
  out=$(ZELK_TEST_SERVER=1 "$root/tests/harness/wine-run.sh" "$build/harness" "$build/bin/app_tests.exe" \
    --gtest_also_run_disabled_tests --gtest_filter='StartupBenchmark.*')
  grep -E '^startup|Failure|FAILED' <<<"$out" || true
  bare=$(awk '$1 == "startup" && $3 == "bare_gdiplus" { print $8 }' <<<"$out")
  ours=$(awk '$1 == "startup" && $3 == "installer" { print $8 }' <<<"$out")
  ratio=$(awk '$1 == "startup" && $3 == "ratio" { print $4 }' <<<"$out")
  [ -n "$ratio" ] || { echo "bench-startup: no figures from $build" >&2; exit 1; }
  arch=$(awk '$1 == "startup" && $3 == "ratio" { print $2 }' <<<"$out")
  rows+=("$(printf '| %s | %s ms | %s ms | %s |' "$arch" "$bare" "$ours" "$ratio")")
done
echo
echo "| Build | bare GDI+ window | installer | installer / bare |"
echo "|---|---|---|---|"
printf '%s\n' "${rows[@]}"
