#!/usr/bin/env bash
# Runs the whole test tree in a display, a Wine prefix, a home and a
# temporary folder of its own, with one persistent wineserver booted before
# CTest starts.  Nothing of the caller's environment reaches a test but the
# search path: no HOME, XDG_* folder, WINEPREFIX, DISPLAY or TRESKEL_*
# setting of the caller's names a place a test reads or writes, so that a
# run leaves the user's installed program, notes, Wine prefix and desktop
# as they were.
set -uo pipefail
cd "$(dirname "$0")/.."
run="$PWD/build/test-run"
if [ "${TRESKEL_TEST_RUN:-}" != "$run" ]; then
  rm -rf "$run"
  mkdir -p "$run/home" "$run/tmp"
  # Its own Xvfb too: windows and keys of the tests never reach the
  # caller's display.
  exec env -i PATH="$PATH" TERM="${TERM:-dumb}" LANG=C.UTF-8 USER="$(id -un)" LOGNAME="$(id -un)" \
    HOME="$run/home" TMPDIR="$run/tmp" TRESKEL_TEST_RUN="$run" \
    xvfb-run -a -s '-screen 0 1280x1024x24' "$PWD/scripts/run-tests.sh" "$@"
fi
export TRESKEL_WINEPREFIX="$PWD/build/wineprefix-test"
export WINEPREFIX="$TRESKEL_WINEPREFIX" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineserver -k >/dev/null 2>&1 || true
rm -rf "$TRESKEL_WINEPREFIX"
wineserver -p >/dev/null 2>&1 </dev/null
wine cmd /c exit >/dev/null 2>&1 </dev/null
# No window manager runs here: Wine must not wait for one when hiding windows.
scripts/prepare-prefix.sh --unmanaged </dev/null >/dev/null 2>&1
ctest --test-dir build -j "$(nproc)" --output-on-failure "$@" 2>&1 | tee build/last-test.log | grep -v '^ *[0-9]*/[0-9]* Test *#[0-9]*: .* Passed'
rc=${PIPESTATUS[0]}
wineserver -k >/dev/null 2>&1 || true
exit $rc
