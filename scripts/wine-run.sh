#!/usr/bin/env bash
# Runs a Win32 program under Wine in the project's private prefix.
# Used as CMake's cross-compiling emulator: the first call of a run
# starts one persistent wineserver, boots and prepares the prefix and
# starts the desk keeper found beside the program (see
# tests/support/deskkeeper.cpp), all with their output detached, so that
# later calls cost no Wine start-up and no helper process holds CTest's
# pipes open.  `wine-run.sh --ready PROGRAM` does only that, for the
# keeper beside PROGRAM, and runs nothing (scripts/run-tests.sh readies
# each desk so before the tests start: a desktop the keeper does not hold
# yet may end just as the first test starts, which then starts another
# that keeps the test's output open).
set -u
ready_only=0
if [ "${1:-}" = --ready ]; then
  ready_only=1
  shift
fi
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# A window test runs on the desk CTest gave it.
. "$here/desk.sh"
export WINEPREFIX="${TRESKEL_WINEPREFIX:-$here/../build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win32
keeper="$(dirname "${1:-.}")/deskkeeper.exe"
keeper_pid="$WINEPREFIX/.treskel-keeper"
ready() {
  [ -f "$WINEPREFIX/.treskel-prepared" ] || return 1
  [ -f "$keeper" ] || return 0
  [ -f "$keeper_pid" ] && kill -0 "$(cat "$keeper_pid")" 2>/dev/null
}
if ! ready; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if ! ready; then
      wineserver -p >/dev/null 2>&1 </dev/null 9>&-
      wine cmd /c exit >/dev/null 2>&1 </dev/null 9>&-
      "$here/prepare-prefix.sh" --unmanaged </dev/null >/dev/null 2>&1 9>&-
      if [ -f "$keeper" ]; then
        setsid wine "$keeper" </dev/null >/dev/null 2>&1 9>&- &
        echo $! > "$keeper_pid"
      fi
    fi
  ) 9>"$WINEPREFIX.lock"
fi
# The server may have been stopped since: a persistent one again.
wineserver -p >/dev/null 2>&1 </dev/null
[ $ready_only -eq 1 ] && exit 0
exec wine "$@"
