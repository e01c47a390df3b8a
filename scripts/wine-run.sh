#!/usr/bin/env bash
# Runs a Win32 program under Wine in the project's private prefix.
# Used as CMake's cross-compiling emulator: the first call of a run
# starts one persistent wineserver and boots the prefix with its output
# detached, so later calls cost no Wine start-up and no helper process
# holds CTest's pipes open.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export WINEPREFIX="${TRESKEL_WINEPREFIX:-$here/../build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win32
# A prefix booted and prepared before goes straight to the program (after
# starting the persistent server, should none run).
if [ -f "$WINEPREFIX/.treskel-prepared" ]; then
  wineserver -p >/dev/null 2>&1 </dev/null
  exec wine "$@"
fi
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  wineserver -p >/dev/null 2>&1 </dev/null 9>&-
  wine cmd /c exit >/dev/null 2>&1 </dev/null 9>&-
  "$here/prepare-prefix.sh" --unmanaged </dev/null >/dev/null 2>&1 9>&-
) 9>"$WINEPREFIX.lock"
exec wine "$@"
