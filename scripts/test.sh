#!/usr/bin/env bash
# Builds everything and runs every test, for both builds from the same
# sources: i686 (what ships) and x86_64. Each build folder keeps its own Wine
# prefix and Xvfb display, so the two ctest runs go side by side; their
# summaries are printed one after the other, i686 first.
#   ZELK_TEST_ARCHS="i686"    only one build
#   ZELK_CTEST_ARGS="-R app"  passed to both ctest runs
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
archs=(${ZELK_TEST_ARCHS:-i686 x86_64})

# Tests point the installer at the local test server; the port is patched
# per test where a server is needed.
for arch in "${archs[@]}"; do
  "$root/scripts/build.sh" "$arch" -DZELK_BUILD_TESTS=ON \
    -DZELK_PACKAGE_URL="http://127.0.0.1:8990/tg/pic/zelkpic_KUID_100090_v10.10.exe"
done

. "$root/tests/harness/wine-loader.sh"
# Where 32-bit programs cannot run at all, the i686 build is built (so it
# still compiles and links) but its tests cannot start: that is said loudly,
# and a run of nothing but i686 fails.
run_archs=()
not_run=()
for arch in "${archs[@]}"; do
  if [ "$arch" = i686 ] && [ "$ZELK_WINE_RUNS_32BIT" = 0 ]; then
    not_run+=("$arch")
  else
    run_archs+=("$arch")
  fi
done

pids=()
for arch in "${run_archs[@]}"; do
  log="$root/build/$arch/ctest.log"
  (cd "$root/build/$arch" && ctest -j "$(nproc)" --output-on-failure ${ZELK_CTEST_ARGS:-}) \
    >"$log" 2>&1 &
  pids+=($!)
done

status=0
for i in "${!run_archs[@]}"; do
  rc=0
  wait "${pids[$i]}" || rc=$?
  [ $rc = 0 ] || status=$rc
  echo "=== ${run_archs[$i]} tests (exit $rc)"
  cat "$root/build/${run_archs[$i]}/ctest.log"
done
for arch in "${not_run[@]}"; do
  echo "=== $arch tests NOT RUN: this machine's kernel cannot run 32-bit programs" \
    "(Wine's 32-bit loader fails with \"Exec format error\"); they need a machine that can"
done
[ ${#run_archs[@]} -gt 0 ] || status=1

# The test build's installer is the release exe but for the address in its
# version resource, which sits in a fixed-size slot. It is linked stripped;
# a stripped copy is measured all the same, as it ships.
if [ -d "$root/build/i686/bin" ]; then
  exe=$(ls "$root"/build/i686/bin/zelkpdf_*.exe)
  stripped=$(mktemp)
  i686-w64-mingw32-strip -o "$stripped" "$exe"
  size=$(stat -c %s "$stripped")
  rm -f "$stripped"
  limit=$((1024 * 1024))
  if [ "$size" -le "$limit" ]; then
    verdict="within 1 MiB ($((limit - size)) bytes to spare)"
  else
    verdict="OVER 1 MiB by $((size - limit)) bytes"
  fi
  echo "i686 installer: $(basename "$exe") $size bytes stripped, $verdict"
fi
exit $status
