# Sourced by the harness: picks the Wine loader that starts Windows programs.
#   ZELK_WINE            the loader to run programs with ("wine" where it works)
#   ZELK_WINE_RUNS_32BIT 1 when 32-bit Windows programs can run here, else 0
# Debian's "wine" starts the 32-bit loader first, which hands 64-bit programs
# on to "wine64". A kernel without the IA-32 compatibility mode (some
# hypervisors leave it out) refuses every 32-bit Linux program with "Exec
# format error", the 32-bit loader among them: there only the 64-bit loader
# works, its prefix has no 32-bit half, and only the x86_64 build can run.
zelk_wine32=/usr/lib/wine/wine
zelk_wine64=/usr/lib/wine/wine64
if [ -z "${ZELK_WINE:-}" ]; then
  if "$zelk_wine32" --version >/dev/null 2>&1; then
    ZELK_WINE=wine
    ZELK_WINE_RUNS_32BIT=1
  else
    ZELK_WINE=$zelk_wine64
    ZELK_WINE_RUNS_32BIT=0
    # Programs started by a 64-bit-only Wine find the loader here.
    export WINELOADER=$zelk_wine64
  fi
fi
export ZELK_WINE ZELK_WINE_RUNS_32BIT
