#!/usr/bin/env bash
# The installer end to end under Wine, against a local demo: the test HTTP
# server hosts a signed demo package on 127.0.0.1, the installer is built
# with that address and signed by a listed (test) publisher, and
# zelkpdf_<channel>.exe downloads the package, checks its signer, runs it (it
# installs a demo ZelkPdfEditor.exe and records the folder in the registry),
# removes it and starts the installed editor.
#
#   scripts/demo.sh           the installer's window: on your display when
#                             $DISPLAY works (you click "一键安装"), else on a
#                             private Xvfb display, driven automatically
#                             (demo_driver.exe) with a screenshot of each page
#                             and box written to build/demo/screenshots
#   scripts/demo.sh --silent  the same flow with /s and no window
#   --x86_64                  (with either) the x86_64 build instead of the
#                             32-bit one that users get
#
# Afterwards the script shows the package's log, the installed files, the
# registry value and the installer's exit code (0 when the window's install
# finished, 1 for any silent run).
#
# The demo programs and their signatures come from the test fixtures
# (tests/app/fixture, tests/verify/make-certs.sh): a throw-away test PKI
# whose root the demo trusts in its own Wine prefix (build/demo).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
channel=${ZELK_DEMO_CHANNEL:-100090}
state="$root/build/demo"

# The package's address, the one place that names it: the installer is
# built with it. Over https, as users download it: the server's certificate
# comes from with-server.sh's root for this run, which the host trusts while
# the server runs. Sent in small pieces a little apart, so the progress page
# can be watched. (Only called inside with-server.sh, which names the port.)
package_url() {
  echo "https://127.0.0.1:$ZELK_TEST_SERVER_HTTPS_PORT/files/zelkpic_KUID_100090_v10.10.exe?trickle=30&chunk=2048"
}

if [ "${1:-}" != --with-server ]; then
  for option in "$@"; do
    case "$option" in
      --silent | --x86_64) ;;
      *) echo "usage: scripts/demo.sh [--silent] [--x86_64]" >&2; exit 2 ;;
    esac
  done
  # Build the tools once (dependencies, configure) before the server starts.
  "$root/scripts/setup-machine.sh"
  exec "$root/tests/server/with-server.sh" "$0" --with-server "$@"
fi
shift
mode=windowed
arch=i686
# The product's registry view is its build's; "wine reg" itself runs as a
# 32-bit program here, so without /reg:64 it would not see the 64-bit one.
reg_view=/reg:32
for option in "$@"; do
  case "$option" in
    --silent) mode=silent ;;
    --x86_64) arch=x86_64 reg_view=/reg:64 ;;
  esac
done
. "$root/tests/harness/wine-loader.sh"
if [ "$arch" = i686 ] && [ "$ZELK_WINE_RUNS_32BIT" = 0 ]; then
  echo "demo: this machine's kernel cannot run 32-bit programs (Wine's 32-bit loader fails" \
    "with \"Exec format error\"), so the x86_64 build runs instead of the 32-bit one users get"
  arch=x86_64 reg_view=/reg:64
fi
build="${ZELK_BUILD_DIR:-$root/build/demo-$arch}"

# Inside with-server.sh: the server listens on ZELK_TEST_SERVER_PORT.
server_dir=${ZELK_TEST_SERVER_DIR#Z:}
server_dir=${server_dir//\\//}
url=$(package_url)

echo "demo: building the $arch installer for $url"
ZELK_BUILD_DIR="$build" ZELK_BUILD_TARGETS="zelkpdf silent_signed_fixtures trust_root demo_driver base_recorder" \
  "$root/scripts/build.sh" "$arch" -DZELK_BUILD_TESTS=ON -DZELK_CHANNEL="$channel" -DZELK_PACKAGE_URL="$url"

bin="$build/bin"
installer="$bin/zelkpdf_$channel.exe"
# Signed as users get it, after the address went in: the real trust rules
# apply, not the one that lets an unsigned installer run any package.
signing="$bin/silent_fixtures/signing"
"$root/tests/verify/sign-file.sh" "$signing/mobile.key" "$signing/mobile.chain.pem" "$installer" "$installer"
# libcurl_x86.dll beside it is loaded only when it passes the same signer
# rules: the build's copy signed by the same publisher.
cp "$bin/silent_fixtures/libcurl_x86.dll" "$bin/libcurl_x86.dll"
cp "$bin/silent_fixtures/product_10.10.0.0.exe" "$server_dir/files/zelkpic_KUID_100090_v10.10.exe"

run() { "$root/tests/harness/wine-run.sh" "$state" "$@"; }
winpath() { echo "Z:${1//\//\\}"; }

# A clean machine: no editor installed, the demo PKI's root trusted.
drive_c="$state/wineprefix/drive_c"
run reg delete 'HKLM\SOFTWARE\ZelkPic' /f "$reg_view" >/dev/null 2>&1 || true
# (A 32-bit installer's default folder is under "Program Files (x86)".)
product_dirs=("$drive_c/Program Files/ZelkSoft" "$drive_c/Program Files (x86)/ZelkSoft")
rm -rf "${product_dirs[@]}"
run "$bin/trust_root.exe" "$(winpath "$bin/silent_fixtures/test_root.cer")"

# What the signer check says of the installer and the package: the probe
# stands for an installer signed by a publisher that is not on the list, so
# only a listed publisher's signature passes.
for checked in "$installer" "$server_dir/files/zelkpic_KUID_100090_v10.10.exe"; do
  verdict=0
  run "$bin/silent_fixtures/probe_unlisted.exe" "$(winpath "$checked")" || verdict=$?
  case $verdict in
    1) echo "demo: $(basename "$checked") is signed by a listed publisher" ;;
    *) echo "demo: $(basename "$checked") does not pass the signer check" ;;
  esac
done

log="$state/demo.log"
rm -f "$log"
export ZELK_DEMO_LOG
ZELK_DEMO_LOG=$(winpath "$log")

code=0
if [ "$mode" = silent ]; then
  echo "demo: running zelkpdf_$channel.exe /s under Wine (prefix $state/wineprefix)"
  run "$installer" /s || code=$?
elif [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "demo: showing the installer on your display $DISPLAY: click \"一键安装\" (prefix $state/wineprefix)"
  ZELK_USE_DISPLAY=$DISPLAY run "$installer" || code=$?
else
  shots="$state/screenshots"
  rm -rf "$shots"
  mkdir -p "$shots"
  echo "demo: no usable display; running the installer on Xvfb, driven by demo_driver.exe"
  echo "demo: screenshots of each page and box go to $shots"
  run "$bin/demo_driver.exe" "$(winpath "$installer")" "$(winpath "$shots")" || code=$?
  ls "$shots" | sed "s|^|  $shots/|"
fi

echo
echo "demo: requests the server received:"
for request in "$server_dir"/requests/*.txt; do
  [ -f "$request" ] || continue
  over=http
  [ -f "${request%.txt}.tls" ] && over=https
  # Wine's WinINet ends its request with a keep-alive line; libcurl sends none.
  transport=libcurl
  grep -aq '^Connection: Keep-Alive' "$request" && transport=WinINet
  echo "  $(head -n 1 "$request" | tr -d '\r') ($over, $transport)"
done
echo "demo: package log ($log):"
if [ -f "$log" ]; then sed 's/^/  /' "$log"; else echo "  (empty: the package did not run)"; fi
echo "demo: installed files:"
find "${product_dirs[@]}" -type f 2>/dev/null | sed "s|^$drive_c|  C:|" || true
echo "demo: registry HKLM\\SOFTWARE\\ZelkPic:"
run reg query 'HKLM\SOFTWARE\ZelkPic' /v Path "$reg_view" 2>/dev/null | tr -d '\r' | grep Path | sed 's/^ */  /' || echo "  (none)"
echo "demo: package folder left in %TEMP%: $(ls "$drive_c"/users/*/Temp/ZelkPic 2>/dev/null | wc -l) files"
"$root/tests/harness/wine-run.sh" --stop "$state"
echo "demo: installer exit code $code"
