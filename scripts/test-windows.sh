#!/usr/bin/env bash
# Builds the Windows executables and tests them under wine64 against the Linux release build
# (tests/windows). Without wine64 the tests are skipped, and the last line says so.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/windows.sh
scripts/build.sh release
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || true)
export BRENK_WINDOWS_APPS=$PWD/build-windows/apps BRENK_LINUX_APPS=$PWD/build/apps
if [ -n "$wine" ]; then
  # One prefix for the Windows tests, kept with the build and made once (some seconds); its
  # server stays up between the runs and is stopped when the tests end.
  export BRENK_WINE_PREFIX=$PWD/build-windows/wine-prefix WINEPREFIX=$PWD/build-windows/wine-prefix WINEDEBUG=-all
  wineserver=$(dirname "$wine")/wineserver
  [ -x "$wineserver" ] || wineserver=$(command -v wineserver)
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Making a wine prefix in $WINEPREFIX"
    "$wine" wineboot -i >/dev/null 2>&1 || true
    "$wineserver" -w  # the registry is written when the server ends
    [ -f "$WINEPREFIX/system.reg" ] || { echo "wine64 could not make its prefix $WINEPREFIX" >&2; exit 1; }
  fi
  "$wineserver" -p
  # The first program of a session brings up wine's own services; two tests starting at once
  # while that happens have been seen to hang, so one program runs alone first.
  "$wine" "$BRENK_WINDOWS_APPS/brenk-cli.exe" --version >/dev/null
  trap '"$wineserver" -k 2>/dev/null || true' EXIT
fi
echo "== Windows tests under wine64 =="
status=0
python3 -m unittest discover -s tests/windows -v || status=$?
if [ -z "$wine" ]; then
  echo "Windows tests SKIPPED: wine64 is not installed (scripts/deps.sh installs it)"
fi
exit $status
