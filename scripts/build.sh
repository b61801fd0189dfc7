#!/usr/bin/env bash
# Configures and builds one target into build/<arch>:
#   scripts/build.sh x86_64|i686 [extra cmake -D options...]
# Installs machine packages and dependencies first (both cached).
# ZELK_BUILD_DIR names another build folder; ZELK_BUILD_TARGETS (blank-
# separated) builds only those targets.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=${1:?x86_64 or i686}; shift
triple=${arch}-w64-mingw32

"$root/scripts/setup-machine.sh"
prefix=$("$root/scripts/build-deps.sh" "$triple" | awk -v t="$triple" '$1 == "prefix" && $2 == t { print $3 }')
[ -n "$prefix" ] || { echo "build: no dependency prefix for $triple" >&2; exit 1; }

build="${ZELK_BUILD_DIR:-$root/build/$arch}"
generator=()
[ -f "$build/CMakeCache.txt" ] || generator=(-G Ninja)
# ccache lets the two builds, the demo's and other clones share compiled
# objects; paths below the parent folder count as the same file.
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$root")}"
  export CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build" "${generator[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$triple.cmake" \
  -DCMAKE_BUILD_TYPE="${ZELK_BUILD_TYPE:-Release}" \
  -DZELK_DEPS_PREFIX="$prefix" "${launcher[@]}" "$@" >/dev/null
targets=()
for target in ${ZELK_BUILD_TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$build" -j "$(nproc)" "${targets[@]}"
