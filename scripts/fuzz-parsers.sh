#!/usr/bin/env bash
# Full form of the randomized parser tests (*Fuzz_test.cpp): 100 000 inputs
# per test under Wine (CI runs 3000 inside each folder's test program).
#   scripts/fuzz-parsers.sh [build-dir]        (default build/x86_64, built with tests)
#   ZELK_FUZZ_COUNT=<inputs> (default 100000)  ZELK_FUZZ_SEED=<seed> (default: the clock)
# Each test prints its seed; ZELK_FUZZ_SEED=<seed> repeats its inputs exactly.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/x86_64}
export ZELK_FUZZ_COUNT=${ZELK_FUZZ_COUNT:-100000}
status=0
for program in base_tests download_tests verify_tests miniui_core_tests; do
  [ -x "$build/bin/$program.exe" ] || { echo "fuzz: $build/bin/$program.exe is not built" >&2; status=1; continue; }
  "$root/tests/harness/wine-run.sh" "$build/harness" "$build/bin/$program.exe" --gtest_filter='*Fuzz*' || status=1
done
exit $status
