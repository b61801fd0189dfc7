#!/usr/bin/env bash
# Cross-builds the third-party libraries the Windows program links against
# into one install prefix per target triple, from Debian packages only.
#
# Usage: scripts/build-deps.sh [TRIPLE...]
#   TRIPLE: i686-w64-mingw32 and/or x86_64-w64-mingw32 (default: both).
#   ZELK_DEPS_CACHE: cache root (default /var/cache/zelkpdf-deps).
#
# For each triple the last stdout line is "prefix <triple> <absolute path>".
# The prefix path ends in a key made from the Debian versions of every input
# plus a hash of this script, so a warm cache returns at once; a changed
# version or script gives a new key and a fresh build.
#
# Prefix layout:
#   include/  rapidxml/ zlib.h zconf.h png.h pngconf.h pnglibconf.h
#             openssl/ curl/ gtest/ gmock/
#   lib/      libz.a libpng16.a libpng.a libcrypto.a
#             libgtest.a libgtest_main.a libgmock.a libgmock_main.a
#   bin/      libcurl_x86.dll (same name for both architectures)
#   versions.txt
set -euo pipefail

readonly all_triples=(i686-w64-mingw32 x86_64-w64-mingw32)
readonly curl_exports=(curl_easy_init curl_easy_setopt curl_easy_perform
  curl_global_init curl_easy_getinfo curl_easy_cleanup curl_easy_strerror
  curl_version)
# The DLL ships alone, so it may only import what every Windows has.
readonly system_dlls=(advapi32.dll bcrypt.dll crypt32.dll kernel32.dll
  msvcrt.dll normaliz.dll secur32.dll user32.dll wldap32.dll ws2_32.dll)

usage() {
  sed -n '2,/^set -euo/{/^set -euo/d;s/^# \{0,1\}//;p}' "$0"
}

die() { echo "build-deps: $*" >&2; exit 1; }
note() { echo "build-deps: $*" >&2; }
sudo_if_needed() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

wait_for_apt() {
  while pgrep -x apt-get >/dev/null || pgrep -x dpkg >/dev/null; do
    note "waiting for another apt-get/dpkg to finish"
    sleep 3
  done
}

# apt-get source needs a deb-src line for the release the machine runs.
ensure_deb_src() {
  if ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    local codename
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
    sudo_if_needed tee /etc/apt/sources.list.d/debian-src.sources >/dev/null <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: ${codename} ${codename}-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  fi
  wait_for_apt
  sudo_if_needed apt-get update -q >&2
}

# Highest version of each source package apt knows; builds pin that exact
# version so the key and the downloaded source always agree.
declare -A ver=()
read_source_versions() {
  local pkg v
  while read -r pkg v; do
    if [ -z "${ver[$pkg]:-}" ] || dpkg --compare-versions "$v" gt "${ver[$pkg]}"; then
      ver[$pkg]=$v
    fi
  done < <(apt-cache showsrc --only-source "$@" 2>/dev/null |
             awk '/^Package:/{p=$2} /^Version:/{print p, $2}')
}

readonly source_pkgs=(libpng1.6 openssl curl)
# Installed packages whose files are copied or built, plus the toolchain.
readonly binary_pkgs=(googletest librapidxml-dev libz-mingw-w64-dev
  gcc-mingw-w64-base mingw-w64-common
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64)

have_source_versions() {
  local p
  for p in "${source_pkgs[@]}"; do [ -n "${ver[$p]:-}" ] || return 1; done
}

read_versions() {
  local p pkg status v memo=$cache/.source-versions
  # apt-cache is most of a warm run's time; reuse its answer until apt's
  # lists or sources change (tests are builtins: no process is started).
  if [ "$memo" -nt /var/lib/apt/lists ] && [ "$memo" -nt /etc/apt/sources.list.d ] &&
     [ "$memo" -nt /etc/apt/sources.list ]; then
    while read -r pkg v; do ver[$pkg]=$v; done <"$memo"
  fi
  if ! have_source_versions; then
    read_source_versions "${source_pkgs[@]}"
    if ! have_source_versions; then
      note "no source index for ${source_pkgs[*]}; adding deb-src and updating apt lists"
      ensure_deb_src
      read_source_versions "${source_pkgs[@]}"
    fi
    for p in "${source_pkgs[@]}"; do
      [ -n "${ver[$p]:-}" ] || die "apt has no source package $p"
    done
    { mkdir -p "$cache" &&
      for p in "${source_pkgs[@]}"; do echo "$p ${ver[$p]}"; done >"$memo.$$" &&
      mv -f "$memo.$$" "$memo"; } 2>/dev/null || rm -f "$memo.$$" 2>/dev/null || true
  fi
  while read -r pkg status v; do
    if [ "$status" = installed ]; then ver[$pkg]=$v; fi
  done < <(dpkg-query -W -f='${Package} ${db:Status-Status} ${Version}\n' \
             "${binary_pkgs[@]}" 2>/dev/null || true)
  for p in "${binary_pkgs[@]}"; do
    [ -n "${ver[$p]:-}" ] || die "package $p is not installed (run scripts/setup-machine.sh)"
  done
}

# Sets key for triple $1.
set_key() {
  local arch=${1%%-*} cc p text= sum
  arch=${arch/_/-}
  # The plain compiler names are alternatives (win32 or posix threads).
  cc=$(type -P "$1-g++") || die "$1-g++ is missing (run scripts/setup-machine.sh)"
  cc=$(readlink -f "$cc")
  for p in "${source_pkgs[@]}" googletest librapidxml-dev libz-mingw-w64-dev \
           gcc-mingw-w64-base mingw-w64-common "binutils-mingw-w64-$arch"; do
    text+="$p ${ver[$p]}"$'\n'
  done
  text+="compiler $cc"$'\n'"script $self_hash"
  sum=$(sha256sum <<<"$text")
  key=${sum:0:16}
}

work=
stage=
cleanup() {
  [ -z "$stage" ] || rm -rf "$stage"
  [ -z "$work" ] || rm -rf "$work"
}

# Downloads and unpacks the Debian sources once per run, shared by triples.
src=
fetch_sources() {
  [ -z "$src" ] || return 0
  local tool
  for tool in apt-get dpkg-source patch perl cmake make flock; do
    command -v "$tool" >/dev/null || die "$tool is missing (run scripts/setup-machine.sh)"
  done
  src=$work/src
  mkdir -p "$src/dl"
  note "fetching Debian sources: libpng1.6 ${ver[libpng1.6]}, openssl ${ver[openssl]}, curl ${ver[curl]}"
  if ! (cd "$src/dl" && apt-get source --download-only -q \
          "libpng1.6=${ver[libpng1.6]}" "openssl=${ver[openssl]}" "curl=${ver[curl]}") \
        >"$work/fetch.log" 2>&1; then
    tail -n 20 "$work/fetch.log" >&2
    rm -f "$cache/.source-versions"  # may name a version apt no longer has
    die "apt-get source failed"
  fi
  local p dsc
  for p in "${source_pkgs[@]}"; do
    dsc=$(ls "$src/dl/${p}_"*.dsc)
    dpkg-source -x "$dsc" "$src/$p" >>"$work/fetch.log" 2>&1 ||
      { tail -n 20 "$work/fetch.log" >&2; die "dpkg-source -x $dsc failed"; }
  done
  # Debian ships the animated-PNG patch but leaves it out of its series.
  if ! grep -q PNG_APNG_SUPPORTED "$src/libpng1.6/png.h"; then
    local apng=("$src"/libpng1.6/debian/patches/*apng*.patch)
    [ ${#apng[@]} -eq 1 ] && [ -f "${apng[0]}" ] || die "no single APNG patch in libpng1.6 source"
    patch -d "$src/libpng1.6" -p1 --batch <"${apng[0]}" >>"$work/fetch.log" 2>&1 ||
      { tail -n 20 "$work/fetch.log" >&2; die "APNG patch does not apply"; }
  fi
}

# Build steps; run in a subshell with stdout/stderr in the log, fd 3 = user.
step() { echo "build-deps: $triple: $*" >&3; echo "=== $*"; }

build_zlib_rapidxml() {
  step "copying rapidxml ${ver[librapidxml-dev]} and zlib ${ver[libz-mingw-w64-dev]}"
  # mingw g++ does not search /usr/include, so the headers travel with us.
  cp -a /usr/include/rapidxml "$P/include/"
  cp /usr/"$triple"/include/zlib.h /usr/"$triple"/include/zconf.h "$P/include/"
  # Consumers link libz.a by path: -lz would pick the DLL import library.
  cp /usr/"$triple"/lib/libz.a "$P/lib/"
}

# Fails unless the static library defines every named function. The listing
# is captured first: grep -q closing a pipe early would trip pipefail.
defines() {
  local lib=$1 syms sym
  shift
  syms=$("$triple-nm" -g --defined-only "$lib")
  for sym in "$@"; do
    # i686 C symbols carry a leading underscore.
    grep -qE " T _?$sym\$" <<<"$syms" || { echo "$lib lacks $sym"; return 1; }
  done
}

cmake_cross() {
  cmake --no-warn-unused-cli \
    -DCMAKE_SYSTEM_NAME=Windows \
    -DCMAKE_SYSTEM_PROCESSOR="${triple%%-*}" \
    -DCMAKE_C_COMPILER="$triple-gcc" \
    -DCMAKE_CXX_COMPILER="$triple-g++" \
    -DCMAKE_RC_COMPILER="$triple-windres" \
    -DCMAKE_FIND_ROOT_PATH="$P;/usr/$triple" \
    -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER \
    -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY \
    -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY \
    -DCMAKE_FIND_ROOT_PATH_MODE_PACKAGE=ONLY \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$P" \
    "$@"
}

# C code built for size, a section per function and object so the program's
# --gc-sections drops what it does not call. 32-bit Windows unwinds C++ through
# DWARF tables, and nothing unwinds through these C libraries, so their tables
# go; 64-bit Windows unwinds every frame through .pdata/.xdata, which stay.
size_cflags() {
  local flags="-Os -DNDEBUG -ffunction-sections -fdata-sections"
  [ "$triple" != i686-w64-mingw32 ] || flags+=" -fno-asynchronous-unwind-tables"
  echo "$flags"
}

build_libpng() {
  step "building libpng ${ver[libpng1.6]} with APNG, read-only"
  # The program only decodes, from memory: no write code, no stdio (whose
  # warnings would print to a console the program does not have).
  printf 'option WRITE off\noption STDIO off\n' >"$W/libpng-read-only.dfa"
  cmake_cross -S "$src/libpng1.6" -B "$W/libpng" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DDFA_XTRA="$W/libpng-read-only.dfa" -DCMAKE_C_FLAGS_RELEASE="$(size_cflags)" \
    -DZLIB_LIBRARY="$P/lib/libz.a" -DZLIB_INCLUDE_DIR="$P/include"
  make -C "$W/libpng" -j2
  make -C "$W/libpng" install
  # Shell helpers and man pages are of no use to a Windows build.
  rm -rf "$P/share" "$P"/bin/libpng*-config
  defines "$P/lib/libpng16.a" png_get_acTL png_read_frame_head \
    png_access_version_number
}

build_openssl() {
  step "building OpenSSL libcrypto ${ver[openssl]}"
  local target=mingw64
  [ "$triple" = i686-w64-mingw32 ] && target=mingw
  cp -a "$src/openssl" "$W/openssl"
  cd "$W/openssl"
  # Only MD5 is used; no-bulk drops most other algorithms and subsystems.
  ./Configure "$target" --cross-compile-prefix="$triple-" \
    no-shared no-asm no-bulk no-legacy no-module no-tests no-sock
  make -j2 build_generated
  make -j2 libcrypto.a
  mkdir -p "$P/include/openssl"
  # In-tree build: generated headers sit beside the shipped ones.
  cp include/openssl/*.h "$P/include/openssl/"
  cp libcrypto.a "$P/lib/"
  defines libcrypto.a MD5_Init MD5_Update MD5_Final
  cd "$W"
}

build_curl() {
  step "building libcurl ${ver[curl]} DLL (Schannel)"
  cp -a "$src/curl" "$W/curl"
  cd "$W/curl/lib"
  # Makefile.mk prepends CROSSPREFIX to CC/AR and appends to the flag
  # variables, so those come from the environment, not the command line.
  # TRIPLET names the object directory, which the DLL target does not create.
  mkdir -p "$triple"
  env CC=gcc AR=ar TRIPLET="$triple" \
    CFLAGS=-O2 CPPFLAGS=-DHTTP_ONLY LDFLAGS="-static-libgcc -s" \
    make -j2 -f Makefile.mk CROSSPREFIX="$triple-" CFG=-schannel-sspi-ipv6 \
      CURL_DLL_SUFFIX=_x86 libcurl_x86.dll
  mkdir -p "$P/include/curl"
  cp libcurl_x86.dll "$P/bin/"
  cp ../include/curl/*.h "$P/include/curl/"

  local dump sym dll bad=0
  dump=$("$triple-objdump" -p "$P/bin/libcurl_x86.dll")
  for sym in "${curl_exports[@]}"; do
    grep -qE "\] $sym\$" <<<"$dump" || { echo "libcurl_x86.dll does not export $sym"; bad=1; }
  done
  for dll in $(awk '/DLL Name:/{print tolower($3)}' <<<"$dump"); do
    [[ " ${system_dlls[*]} " == *" $dll "* ]] || { echo "libcurl_x86.dll imports $dll"; bad=1; }
  done
  cd "$W"
  return "$bad"
}

build_gtest() {
  step "building GoogleTest ${ver[googletest]}"
  cp -a /usr/src/googletest "$W/googletest"
  # GoogleTest's Notification needs std::mutex, which libstdc++ lacks under
  # the win32 thread model; declare a Win32-event one via the custom hook.
  # It lands in the installed header, so consumers see the same class.
  cat >>"$W/googletest/googletest/include/gtest/internal/custom/gtest-port.h" <<'EOF'

// Added by build-deps.sh: the win32 thread model of mingw libstdc++ has no
// std::mutex/std::condition_variable for GoogleTest's Notification, so use
// one built on a Win32 event (defined in gtest-port.cc).
#if defined(__MINGW32__) && !defined(_GLIBCXX_HAS_GTHREADS) && \
    !defined(GTEST_HAS_NOTIFICATION_)
#define GTEST_HAS_NOTIFICATION_ 1
namespace testing {
namespace internal {
class Notification {
 public:
  Notification();
  ~Notification();
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;
  void Notify();
  void WaitForNotification();

 private:
  void* event_;
};
}  // namespace internal
}  // namespace testing
#endif
EOF
  cat >>"$W/googletest/googletest/src/gtest-port.cc" <<'EOF'

// Added by build-deps.sh: see gtest/internal/custom/gtest-port.h.
#if defined(__MINGW32__) && !defined(_GLIBCXX_HAS_GTHREADS)
namespace testing {
namespace internal {
Notification::Notification()
    : event_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  GTEST_CHECK_(event_ != nullptr);
}
Notification::~Notification() { ::CloseHandle(event_); }
void Notification::Notify() { GTEST_CHECK_(::SetEvent(event_)); }
void Notification::WaitForNotification() {
  GTEST_CHECK_(::WaitForSingleObject(event_, INFINITE) == WAIT_OBJECT_0);
}
}  // namespace internal
}  // namespace testing
#endif
EOF
  cmake_cross -S "$W/googletest" -B "$W/googletest-build" \
    -Dgtest_disable_pthreads=ON -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON \
    -DBUILD_SHARED_LIBS=OFF
  make -C "$W/googletest-build" -j2
  make -C "$W/googletest-build" install
}

finish_prefix() {
  step "checking and recording the prefix"
  # CMake's package files and .pc files name the staging path; point them at
  # the final one so the rename below leaves them correct.
  grep -rlIF "$P" "$P" | xargs -r sed -i "s|$P|$final|g"
  local f missing=0
  for f in include/rapidxml/rapidxml.hpp include/zlib.h include/zconf.h \
           include/png.h include/pngconf.h include/pnglibconf.h \
           include/openssl/md5.h include/openssl/opensslv.h \
           include/openssl/configuration.h include/curl/curl.h \
           include/gtest/gtest.h include/gmock/gmock.h \
           lib/libz.a lib/libpng16.a lib/libpng.a lib/libcrypto.a \
           lib/libgtest.a lib/libgtest_main.a lib/libgmock.a lib/libgmock_main.a \
           bin/libcurl_x86.dll; do
    [ -e "$P/$f" ] || { echo "missing $f"; missing=1; }
  done
  [ "$missing" = 0 ]
  {
    echo "# Debian versions this prefix was built from (key $key)"
    echo "libpng1.6 ${ver[libpng1.6]} source, APNG patch applied, read-only"
    echo "openssl ${ver[openssl]} source, libcrypto only"
    echo "curl ${ver[curl]} source, libcurl_x86.dll with Schannel"
    echo "googletest ${ver[googletest]}"
    echo "librapidxml-dev ${ver[librapidxml-dev]}"
    echo "libz-mingw-w64-dev ${ver[libz-mingw-w64-dev]}"
    echo "gcc-mingw-w64-base ${ver[gcc-mingw-w64-base]}"
    echo "mingw-w64-common ${ver[mingw-w64-common]}"
  } >"$P/versions.txt"
}

build_triple() {
  set -euo pipefail
  unset CC CXX AR RC CFLAGS CXXFLAGS CPPFLAGS LDFLAGS LIBS MAKEFLAGS MFLAGS MAKELEVEL
  export LC_ALL=C
  mkdir -p "$P/include" "$P/lib" "$P/bin"
  cd "$W"
  build_zlib_rapidxml
  build_libpng
  build_openssl
  build_curl
  build_gtest
  finish_prefix
}

main() {
  local arg triple key lock rc start
  triples=()
  for arg in "$@"; do
    case "$arg" in
      -h|--help) usage; exit 0 ;;
      i686-w64-mingw32|x86_64-w64-mingw32) triples+=("$arg") ;;
      *) usage >&2; die "unknown triple: $arg" ;;
    esac
  done
  [ ${#triples[@]} -gt 0 ] || triples=("${all_triples[@]}")

  cache=${ZELK_DEPS_CACHE:-/var/cache/zelkpdf-deps}
  case "$cache" in /*) ;; *) cache=$(realpath -m "$cache") ;; esac
  self_hash=$(sha256sum "${BASH_SOURCE[0]}")
  self_hash=${self_hash:0:16}
  read_versions
  trap cleanup EXIT
  exec 3>&2
  for triple in "${triples[@]}"; do
    set_key "$triple"
    final=$cache/$triple/$key
    if [ ! -d "$final" ]; then
      if ! mkdir -p "$cache/$triple" 2>/dev/null; then
        sudo_if_needed install -d -o "$(id -u)" -g "$(id -g)" "$cache"
        mkdir -p "$cache/$triple"
      fi
      # One build per triple at a time; a run that waited reuses the result.
      exec {lock}>"$cache/$triple/.lock"
      flock "$lock"
      if [ ! -d "$final" ]; then
        [ -n "$work" ] || work=$(mktemp -d "${TMPDIR:-/tmp}/build-deps.XXXXXX")
        fetch_sources
        log=$cache/$triple/build-$key.log
        note "$triple: building into $final (log: $log)"
        # Staged beside the final path so the closing rename is atomic.
        stage=$(mktemp -d "$cache/$triple/.stage-$key.XXXXXX")
        P=$stage/prefix
        W=$work/$triple
        mkdir -p "$W"
        start=$SECONDS
        set +e
        (build_triple) >"$log" 2>&1
        rc=$?
        set -e
        if [ "$rc" != 0 ]; then
          echo "build-deps: $triple: build failed; log: $log" >&2
          tail -n 40 "$log" >&2
          exit 1
        fi
        mv -T "$P" "$final"
        rm -rf "$stage" "$W"
        stage=
        note "$triple: done in $((SECONDS - start)) s"
      fi
      exec {lock}>&-
    fi
    echo "prefix $triple $final"
  done
}

# Bash reads a script while running it; starting from the last line means the
# whole file is parsed first, so editing it mid-build cannot derail a run.
main "$@"; exit
