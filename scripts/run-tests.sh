#!/usr/bin/env bash
# Runs the whole test tree (inside the display test.sh provides), with one
# persistent wineserver booted before CTest starts.
set -uo pipefail
cd "$(dirname "$0")/.."
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
