#!/usr/bin/env bash
# Builds everything and runs every test: the x86_64 test build under Wine
# (its own Wine prefix and Xvfb display), then the i686 release build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# Tests point the installer at the local test server; the port is patched
# per test where a server is needed.
"$root/scripts/build.sh" x86_64 -DZELK_BUILD_TESTS=ON \
  -DZELK_PACKAGE_URL="http://127.0.0.1:8990/tg/pic/zelkpic_KUID_100090_v10.10.exe"

status=0
(cd "$root/build/x86_64" && ctest -j "$(nproc)" --output-on-failure ${ZELK_CTEST_ARGS:-}) || status=$?

"$root/scripts/build.sh" i686 -DZELK_BUILD_TESTS=OFF
exe=$(ls "$root"/build/i686/bin/zelkpdf_*.exe)
echo "i686 release installer: $(basename "$exe") $(stat -c %s "$exe") bytes"
exit $status
