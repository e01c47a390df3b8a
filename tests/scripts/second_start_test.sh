#!/usr/bin/env bash
# A second start of scripts/start.sh (a second ./run.sh) while the program
# runs: the new build is installed and the running program hands over to,
# and the first one goes on with the typed note.  Under the display of the
# test run, in a home, a Wine prefix and a data directory of its own.
# Usage: second_start_test.sh SOURCE_DIR BUILT_PROGRAM_DIR STARTDRIVER.exe
set -uo pipefail
src="$1"
built="$2"
driver="$3"
t="$(mktemp -d)"
. "$(dirname "$0")/own_environment.sh"
own_environment "$t"
export WINEPREFIX="$t/prefix" XDG_DATA_HOME="$t/xdg" WINEDEBUG=-all WINEARCH=win32
export WINEDLLOVERRIDES="mscoree,mshtml="
first=""
finish() {
  # Only what this test started: its program, then its own prefix's server.
  [ -n "$first" ] && kill "$first" 2>/dev/null
  wineserver -k >/dev/null 2>&1
  rm -rf "$t"
}
trap finish EXIT
fail() { echo "FAILED: $*" >&2; sed 's/^/  start: /' "$t"/start*.log >&2 2>/dev/null; exit 1; }
drive() { wine "$driver" "$@" </dev/null 2>"$t/driver.err" | tr -d '\r'; }

mkdir -p "$t/build"
cp "$built/Treskel!.exe" "$built/PictLib.dll" "$t/build/"
# Without a window manager Wine must not wait for one.
"$src/scripts/prepare-prefix.sh" --unmanaged </dev/null >/dev/null 2>&1 || fail "prefix not prepared"
home="$XDG_DATA_HOME/treskel"

"$src/scripts/start.sh" "$t/build/Treskel!.exe" </dev/null >"$t/start1.log" 2>&1 &
first=$!
note="kept through a second start"
[ "$(drive note "$note")" = "$note" ] || fail "note not typed: $(cat "$t/driver.err")"

# A new build (the bytes differ) and then the same one again, each started
# while the first program runs: both hand over to it and end.
printf 'rebuilt' >> "$t/build/Treskel!.exe"
for n in 2 3; do
  timeout 60 "$src/scripts/start.sh" "$t/build/Treskel!.exe" </dev/null >"$t/start$n.log" 2>&1 \
    || fail "start $n did not hand over"
  cmp -s "$t/build/Treskel!.exe" "$home/Treskel!.exe" || fail "start $n did not install the new build"
  cmp -s "$t/build/PictLib.dll" "$home/PictLib.dll" || fail "start $n did not install the picture library"
done

# The first program goes on: a question box, a removal, the note kept.
[ "$(drive remove)" = "$note" ] || fail "after the second start: $(cat "$t/driver.err")"
kill -0 "$first" 2>/dev/null || fail "the first program ended"
drive close >/dev/null || fail "$(cat "$t/driver.err")"
wait "$first"
first=""

# The next start shows the note as it was left.
"$src/scripts/start.sh" "$t/build/Treskel!.exe" </dev/null >"$t/start4.log" 2>&1 &
first=$!
[ "$(drive shows)" = "$note" ] || fail "the note did not come back: $(cat "$t/driver.err")"
drive close >/dev/null || fail "$(cat "$t/driver.err")"
wait "$first"
first=""
echo "second start: all passed"
