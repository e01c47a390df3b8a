#!/usr/bin/env bash
# scripts/start.sh installs the program into the user's data directory and
# starts it there; notes that an earlier start kept beside the built program
# move along.  Wine and the display's tools are stood in for by recorders;
# nothing of the caller's environment names a place the script reaches.
set -euo pipefail
src="$1"
t="$(mktemp -d)"
trap 'rm -rf "$t"' EXIT
. "$(dirname "$0")/own_environment.sh"
own_environment "$t"
export T="$t" PATH="$t/bin:$PATH" DISPLAY=:99 WINEPREFIX="$t/prefix"
mkdir -p "$t/bin" "$t/build"
cat > "$t/bin/wine" <<'STUB'
#!/usr/bin/env bash
echo "$PWD|$*" >> "$T/wine.log"
if [ "${1:-}" = reg ] && [ "${2:-}" = query ]; then
  printf '\r\nHKEY_CURRENT_USER\\SOFTWARE\\Qiv\\Treskel!\\common\r\n    path    REG_SZ    %s\r\n\r\n' "$STORED"
fi
STUB
cat > "$t/bin/winepath" <<'STUB'
#!/usr/bin/env bash
p="${2//\//\\}"
echo "Z:$p"
STUB
# No display is asked whether a window manager runs on it.
cat > "$t/bin/xprop" <<'STUB'
#!/usr/bin/env bash
echo "$*" >> "$T/xprop.log"
STUB
chmod +x "$t/bin/wine" "$t/bin/winepath" "$t/bin/xprop"
fail() { echo "FAILED: $*" >&2; exit 1; }
printf 'program' > "$t/build/Treskel!.exe"
printf 'pictures' > "$t/build/PictLib.dll"

# Without XDG_DATA_HOME: ~/.local/share/treskel, started there.
STORED='' "$src/scripts/start.sh" "$t/build/Treskel!.exe"
home="$t/home/.local/share/treskel"
cmp -s "$t/build/Treskel!.exe" "$home/Treskel!.exe" || fail "not installed in $home"
cmp -s "$t/build/PictLib.dll" "$home/PictLib.dll" || fail "picture library not installed in $home"
[ "$(tail -n 1 "$t/wine.log")" = "$home|Treskel!.exe" ] || fail "not started there: $(tail -n 1 "$t/wine.log")"
[ -f "$t/prefix/drive_c/windows/Fonts/symbol.ttf" ] || fail "prefix not prepared"

# With XDG_DATA_HOME; notes beside the built program, stored as the data
# directory, move along and the stored path goes.
export XDG_DATA_HOME="$t/xdg"
mkdir -p "$t/build/Data"
printf 'note' > "$t/build/Data/Work.tsx"
STORED="$(winepath -w "$t/build/Data")" "$src/scripts/start.sh" "$t/build/Treskel!.exe"
home="$t/xdg/treskel"
cmp -s "$t/build/Treskel!.exe" "$home/Treskel!.exe" || fail "not installed in $home"
[ "$(cat "$home/Data/Work.tsx")" = note ] || fail "notes did not move"
[ ! -e "$t/build/Data" ] || fail "notes left in the build tree"
grep -q '|reg delete HKCU\\SOFTWARE\\Qiv\\Treskel!\\common /v path /f$' "$t/wine.log" || fail "stored path kept"
[ "$(tail -n 1 "$t/wine.log")" = "$home|Treskel!.exe" ] || fail "not started there"

# A data directory of the user's own choice stays where it is.
rm -rf "$home" && : > "$t/wine.log"
mkdir -p "$t/build/Data"
STORED='C:\Notes' "$src/scripts/start.sh" "$t/build/Treskel!.exe"
[ -d "$t/build/Data" ] && [ ! -e "$home/Data" ] || fail "a chosen data directory was moved"
! grep -q 'reg delete' "$t/wine.log" || fail "a chosen data directory was forgotten"
echo "start.sh: all passed"
