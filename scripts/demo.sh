#!/usr/bin/env bash
# Builds the installer and runs its main job under Wine against the local
# demo. Until the install flow is complete this builds the 64-bit test build
# of the installer and starts it silently, printing its exit code.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

ZELK_BUILD_DIR="$root/build/demo-x86_64" "$root/scripts/build.sh" x86_64 -DZELK_BUILD_TESTS=OFF -DZELK_CHANNEL=100090 \
  -DZELK_PACKAGE_URL="http://127.0.0.1:8991/tg/pic/zelkpic_KUID_100090_v10.10.exe"

state="$root/build/demo"
exe="$root/build/demo-x86_64/bin/zelkpdf_100090.exe"
echo "demo: running $(basename "$exe") /s under Wine (prefix $state/wineprefix)"
code=0
"$root/tests/harness/wine-run.sh" "$state" "$exe" /s || code=$?
"$root/tests/harness/wine-run.sh" --stop "$state"
echo "demo: installer exit code $code"
