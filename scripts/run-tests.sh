#!/usr/bin/env bash
# Runs the whole test tree in a display, a Wine prefix, a home and a
# temporary folder of its own, with one persistent wineserver booted before
# CTest starts.  Nothing of the caller's environment reaches a test but the
# search path: no HOME, XDG_* folder, WINEPREFIX, DISPLAY or TRESKEL_*
# setting of the caller's names a place a test reads or writes, so that a
# run leaves the user's installed program, notes, Wine prefix and desktop
# as they were.
# The window tests run side by side on desks: each desk is a display (its
# own Xvfb), a copy of the prepared prefix with its own wineserver (so its
# own registry, clipboard, tray and window names), a home and a temporary
# folder, and runs one window test at a time (CTest hands them out:
# RESOURCE_GROUPS desk:1, scripts/desk.sh).  A window test waits on Wine
# and its timers more than it computes (the suite keeps about half the
# cores busy with a desk per core): one desk for each of CTest's jobs (-j N
# among the arguments, else the cores this process may use), at most 8;
# TRESKEL_DESKS_WANTED=N chooses another number.
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
    ${TRESKEL_DESKS_WANTED:+TRESKEL_DESKS_WANTED="$TRESKEL_DESKS_WANTED"} \
    xvfb-run -a -s '-screen 0 1280x1024x24' "$PWD/scripts/run-tests.sh" "$@"
fi

shopt -s nullglob dotglob
jobs=$(nproc)
args=("$@")
for ((i = 0; i < ${#args[@]}; i++)); do
  case "${args[i]}" in
    -j | --parallel) [[ "${args[i + 1]:-}" =~ ^[0-9]+$ ]] && jobs=${args[i + 1]} ;;
    -j[0-9]*) jobs=${args[i]#-j} ;;
    --parallel=[0-9]*) jobs=${args[i]#--parallel=} ;;
  esac
done
[ "$jobs" -ge 1 ] 2>/dev/null || jobs=1
desks=$jobs
[ "$desks" -le 8 ] || desks=8
[ -n "${TRESKEL_DESKS_WANTED:-}" ] && desks=$TRESKEL_DESKS_WANTED
[ "$desks" -ge 1 ] 2>/dev/null || desks=1

export TRESKEL_WINEPREFIX="$PWD/build/wineprefix-test"
export WINEPREFIX="$TRESKEL_WINEPREFIX" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export TRESKEL_DESKS="$run/desks"
xvfbs=()
finish() {
  local d
  for d in "$TRESKEL_DESKS"/*/env; do
    (. "$d" && wineserver -k >/dev/null 2>&1)
  done
  wineserver -k >/dev/null 2>&1
  for d in "${xvfbs[@]}"; do kill "$d" 2>/dev/null; done
  wait 2>/dev/null
}
trap finish EXIT
trap 'exit 130' INT TERM HUP

rm -rf "$TRESKEL_DESKS"
mkdir -p "$TRESKEL_DESKS"
# Each desk's display, started first (they start while the prefix is
# made), by this shell so that it ends them.  A key of its own for each:
# the server takes every key in its file at start, and the clients look
# the key up by the display's number, known once the server runs.
for ((d = 0; d < desks; d++)); do
  dir="$TRESKEL_DESKS/$d"
  mkdir -p "$dir/home" "$dir/tmp"
  mcookie >"$dir/cookie"
  : >"$dir/Xauthority"
  xauth -q -f "$dir/Xauthority" add :0 . "$(cat "$dir/cookie")"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -auth "$dir/Xauthority" \
    3>"$dir/display" </dev/null >"$dir/xvfb.log" 2>&1 &
  xvfbs+=($!)
done

wineserver -k >/dev/null 2>&1 || true
rm -rf "$TRESKEL_WINEPREFIX"
wineserver -p >/dev/null 2>&1 </dev/null
wine cmd /c exit >/dev/null 2>&1 </dev/null
# No window manager runs here: Wine must not wait for one when hiding windows.
scripts/prepare-prefix.sh --unmanaged </dev/null >/dev/null 2>&1
# The desks start from the registry as written out.
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1

# The desktop keeper of the Win32 tests (scripts/wine-run.sh).
keeper="$PWD/build/win32/tests/deskkeeper.exe"
# make_desk N: desk N's prefix, its wineserver and its keeper, on its
# display.  The prefix is a copy of the prepared one but for the system's
# libraries, which no test writes and which are linked to the prepared
# ones; the folders Wine points at the home follow the desk's home.
make_desk() {
  local dir="$TRESKEL_DESKS/$1" base="$TRESKEL_WINEPREFIX" f display
  local p="$dir/prefix"
  for _ in $(seq 200); do
    [ -s "$dir/display" ] && break
    sleep 0.05
  done
  display=$(tr -dc 0-9 <"$dir/display")
  [ -n "$display" ] || { echo "run-tests: the display of desk $1 did not start" >&2; return 1; }
  xauth -q -f "$dir/Xauthority" add ":$display" . "$(cat "$dir/cookie")"
  mkdir -p "$p/drive_c/windows"
  for f in "$base"/*; do
    [ "$(basename "$f")" = drive_c ] || cp -a "$f" "$p/"
  done
  for f in "$base"/drive_c/*; do
    [ "$(basename "$f")" = windows ] || cp -a "$f" "$p/drive_c/"
  done
  for f in "$base"/drive_c/windows/*; do
    case "$(basename "$f")" in
      system32 | syswow64 | winsxs) cp -al "$f" "$p/drive_c/windows/" ;;
      *) cp -a "$f" "$p/drive_c/windows/" ;;
    esac
  done
  rm -f "$p/.treskel-keeper"
  for f in "$p"/drive_c/users/*/*; do
    [ -L "$f" ] && [ "$(readlink "$f")" = "$HOME" ] && ln -sfn "$dir/home" "$f"
  done
  cat >"$dir/env" <<ENV
export DISPLAY=":$display" XAUTHORITY="$dir/Xauthority" TRESKEL_WINEPREFIX="$p" WINEPREFIX="$p"
export HOME="$dir/home" TMPDIR="$dir/tmp"
ENV
  . "$dir/env"
  scripts/wine-run.sh --ready "$keeper"
}

makers=()
for ((d = 0; d < desks; d++)); do
  make_desk "$d" &
  makers+=($!)
done
spec='{"version":{"major":1,"minor":0},"local":[{"desk":['
for ((d = 0; d < desks; d++)); do
  wait "${makers[d]}" || { echo "run-tests: desk $d could not be made" >&2; exit 1; }
  spec+="$([ "$d" -gt 0 ] && echo ,){\"id\":\"$d\",\"slots\":1}"
done
echo "$spec]}]}" >"$run/desks.json"
scripts/wine-run.sh --ready "$keeper"

ctest --test-dir build -j "$jobs" --resource-spec-file "$run/desks.json" --output-on-failure "$@" 2>&1 |
  tee build/last-test.log | grep -v '^ *[0-9]*/[0-9]* Test *#[0-9]*: .* Passed'
exit "${PIPESTATUS[0]}"
