#!/usr/bin/env bash
# How long the edit box's window is busy with a long paste and a long
# SetText, edit and repaint included (the disabled EditBenchmark.* case of
# miniui_controls_tests.exe, run under Wine).
#   scripts/bench-edit.sh [build-dir] [length...]   (default build/x86_64, 100000)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/x86_64}
shift || true
lengths=("$@")
[ ${#lengths[@]} -gt 0 ] || lengths=(100000)
for length in "${lengths[@]}"; do
  ZELK_BENCH_EDIT_LENGTH=$length "$root/tests/harness/wine-run.sh" "$build/harness" \
    "$build/bin/miniui_controls_tests.exe" --gtest_also_run_disabled_tests \
    --gtest_filter='EditBenchmark.*' | grep -E '^edit|Failure|FAILED'
done
