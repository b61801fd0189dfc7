#!/usr/bin/env bash
# Runs a Windows program in the build folder's private test environment:
#   wine-run.sh STATE_DIR PROGRAM [ARGS...]
#   wine-run.sh --stop STATE_DIR      ends the display and the wineserver
# The first call makes the Wine prefix (tests/harness/make-prefix.sh), starts
# an Xvfb display and a persistent wineserver (a program then starts in about
# 0.2 s instead of 2 s); later calls reuse them. Parallel calls are serialised
# by a lock while they set up.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-loader.sh"

stop=0
if [ "${1:-}" = --stop ]; then stop=1; shift; fi
state=${1:?state folder}; shift
mkdir -p "$state"
state=$(cd "$state" && pwd)

export WINEPREFIX="$state/wineprefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

alive() { [ -f "$1" ] && kill -0 "$(cat "$1")" 2>/dev/null; }

if [ $stop = 1 ]; then
  # Every run holds a shared lock on "active"; while another ctest in this
  # build folder still runs programs, leave the display and server alone.
  exec 8>"$state/active"
  flock -n -x 8 || exit 0
  [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null || true
  if alive "$state/xvfb.pid"; then kill "$(cat "$state/xvfb.pid")" || true; fi
  rm -f "$state/xvfb.pid" "$state/display"
  exit 0
fi

start_display() {
  # -displayfd picks a free display number and reports it once ready.
  rm -f "$state/display"
  setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
    3>"$state/display" </dev/null >"$state/xvfb.log" 2>&1 8>&- 9>&- &
  echo $! >"$state/xvfb.pid"
  for _ in $(seq 100); do
    [ -s "$state/display" ] && return 0
    sleep 0.1
  done
  echo "wine-run: Xvfb did not start (see $state/xvfb.log)" >&2
  return 1
}

# Held for the whole run (never by the daemons started below: they get 8>&-).
exec 8>"$state/active"
flock -s 8

{
  flock 9
  if [ ! -f "$WINEPREFIX/.zelk-ready" ]; then
    "$here/make-prefix.sh" "$WINEPREFIX" 8>&- 9>&-
  fi
  if [ -z "${ZELK_USE_DISPLAY:-}" ] && ! alive "$state/xvfb.pid"; then
    start_display
  fi
  # A persistent server detaches at once and outlives this call.
  wineserver -p </dev/null >/dev/null 2>&1 8>&- 9>&- || true
} 9>"$state/lock"

export DISPLAY="${ZELK_USE_DISPLAY:-:$(tr -d '\n' <"$state/display")}"
# ZELK_TEST_SERVER=1: the program runs while the test HTTP server listens.
run=("$ZELK_WINE" "$@")
if [ -n "${ZELK_TEST_SERVER:-}" ]; then
  run=("$here/../server/with-server.sh" "$ZELK_WINE" "$@")
fi

# Wine's service processes (services.exe, winedevice.exe, explorer.exe) start
# with the first program and outlive it, holding whatever stdout it had. If
# that were ctest's pipe, ctest would wait for it for ever; so the program
# writes to a file that is printed once it ends.
out=$(mktemp "$state/run.XXXXXX")
trap 'rm -f "$out"' EXIT
status=0
"${run[@]}" >"$out" 2>&1 </dev/null 8>&- || status=$?
# Run inside with-server.sh: Wine copied the run's test root into this
# prefix's registry, where it would outlive the run.
if [ -n "${ZELK_TEST_SERVER_ROOT_SHA1:-}" ]; then
  "$here/../server/host-root.sh" forget "$ZELK_TEST_SERVER_ROOT_SHA1" 8>&- || true
fi
cat "$out"
exit $status
