#!/usr/bin/env bash
# scripts/run-tests.sh, called as a user calls it: with HOME, XDG_DATA_HOME,
# XDG_CONFIG_HOME, XDG_CACHE_HOME, TMPDIR, WINEPREFIX, DISPLAY and a test
# knob naming the user's own folders (here folders made to look like a
# user's: an installed program with its notes, a Wine prefix).  It runs a
# test tree of the suite's own scripts (the start script's tests, a test of
# the real window through the Wine wrapper) and one that looks at what a
# test sees; afterwards every file and folder of the user's is as it was,
# byte for byte, with its times.
# Usage: test_run_test.sh SOURCE_DIR BUILT_PROGRAM_DIR STARTDRIVER.exe WINDOW_TESTS.exe
set -uo pipefail
src="$1"
built="$2"
driver="$3"
window_tests="$4"
t="$(mktemp -d)"
trap 'rm -rf "$t"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

real="$t/user"
mkdir -p "$real/home/.local/share/treskel/Data" "$real/home/.wine-treskel" "$real/home/Documents" \
  "$real/data/treskel/Data" "$real/config" "$real/cache" "$real/tmp" "$real/prefix/drive_c"
for d in "$real/home/.local/share/treskel" "$real/data/treskel"; do
  printf 'the program the user runs' > "$d/Treskel!.exe"
  printf 'its picture library' > "$d/PictLib.dll"
  printf 'the user notes' > "$d/Data/Work.tsx"
done
printf 'WINE REGISTRY Version 2\n' > "$real/prefix/system.reg"
printf 'WINE REGISTRY Version 2\n' > "$real/home/.wine-treskel/user.reg"
printf 'a letter' > "$real/home/Documents/letter.txt"
touch -d '2001-02-03 04:05:06' $(find "$real" -mindepth 1)
manifest() {
  (cd "$real" && find . -printf '%y %m %s %T@ %p %l\n' | sort && find . -type f -print0 | sort -z | xargs -0 sha256sum)
}
before="$(manifest)"

# A tree of its own: the run makes its prefix, home and temporary folder
# in its build folder.  The window tests are copied into it, with the
# keeper of their desktop, so that the data folder they make beside
# themselves is the tree's and not the one the suite's run uses.
tree="$t/tree"
mkdir -p "$tree/build" "$tree/bin"
cp -r "$src/scripts" "$tree/scripts"
cp "$window_tests" "$(dirname "$window_tests")/deskkeeper.exe" "$tree/bin/"
cat > "$t/probe.sh" <<PROBE
#!/usr/bin/env bash
# What a test of the run sees names nothing of the user's.
for v in HOME TMPDIR XDG_DATA_HOME XDG_CONFIG_HOME XDG_CACHE_HOME WINEPREFIX TRESKEL_SHOTS; do
  case "\${!v:-}" in "$real"*) echo "\$v is the user's: \${!v}" >&2; exit 1 ;; esac
done
[ -n "\${DISPLAY:-}" ] && [ "\$DISPLAY" != "${DISPLAY:-}" ] || { echo "the display is the user's: \${DISPLAY:-none}" >&2; exit 1; }
# On a desk: the desk's prefix.
if [ "\${1:-}" = desk ]; then
  case "\${WINEPREFIX:-}" in "$tree/build/test-run/desks/"*) ;; *) echo "not on a desk: \${WINEPREFIX:-}" >&2; exit 1 ;; esac
fi
PROBE
cat > "$tree/build/CTestTestfile.cmake" <<TESTS
add_test(StartScript "bash" "$src/tests/scripts/start_test.sh" "$src")
add_test(SecondStart "$tree/scripts/desk.sh" "bash" "$src/tests/scripts/second_start_test.sh" "$src" "$built" "$driver")
add_test(Window "$tree/scripts/wine-run.sh" "$tree/bin/$(basename "$window_tests")" "--gtest_filter=FirstStart.MakesTheDataDirectoryBesideTheProgramAndRemembersIt:StartUp.TheProgramItselfStartsOnTheFirstItemWithItsNote")
add_test(Environment "bash" "$t/probe.sh")
add_test(EnvironmentOnADesk "$tree/scripts/desk.sh" "bash" "$t/probe.sh" "desk")
set_tests_properties(SecondStart Window EnvironmentOnADesk PROPERTIES RESOURCE_GROUPS desk:1)
TESTS

HOME="$real/home" XDG_DATA_HOME="$real/data" XDG_CONFIG_HOME="$real/config" XDG_CACHE_HOME="$real/cache" \
  TMPDIR="$real/tmp" WINEPREFIX="$real/prefix" TRESKEL_SHOTS="$real/home/Documents" \
  "$tree/scripts/run-tests.sh" -j 4 </dev/null >"$t/run.log" 2>&1
rc=$?
after="$(manifest)"
if [ "$before" != "$after" ]; then
  diff <(echo "$before") <(echo "$after") >&2
  fail "the user's folders changed"
fi
[ $rc -eq 0 ] || { cat "$t/run.log" >&2; fail "the run failed"; }
grep -q '100% tests passed, 0 tests failed out of 5' "$t/run.log" || { cat "$t/run.log" >&2; fail "not every test ran"; }
echo "test run: all passed"
