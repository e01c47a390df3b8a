#!/usr/bin/env bash
# Readies a Wine prefix for the program: the fonts Wine ships (Debian's
# Wine does not find them by itself, so captions and frame buttons would
# draw with the wrong glyphs), Arial and Times New Roman answered by their
# metric twins, and with --unmanaged no waiting for a window manager (tests
# run under a bare Xvfb).  "MS Sans Serif", the default font of every
# window and of the note editor, is Wine's outline version, not its bitmap
# files: those win over every substitution and cannot slant italics.
# "Symbol" is Wine's with the list bullet mapped to its round bullet.
# Wine draws every window's frame itself, with or without a window manager
# (the X11 driver's "Decorated" off), so that the caption the program
# paints, with its own buttons, is the one the user sees.
# Runs once per prefix (again when this preparation changes).
set -u
here="$(cd "$(dirname "$0")" && pwd)"
prefix="${WINEPREFIX:?}"
marker="$prefix/.treskel-prepared"
version=4
[ "$(cat "$marker" 2>/dev/null)" = "$version" ] && exit 0
export WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wine cmd /c exit >/dev/null 2>&1 </dev/null
fonts="$prefix/drive_c/windows/Fonts"
mkdir -p "$fonts"
cp -n /usr/share/wine/fonts/* "$fonts/" 2>/dev/null || true
rm -f "$fonts"/sserif*.fon "$fonts"/ssee*.fon "$fonts"/ssef*.fon
/usr/bin/python3 "$here/make-symbol-font.py" /usr/share/wine/fonts/symbol.ttf "$fonts/symbol.ttf" || exit 1
for f in /usr/share/fonts/truetype/liberation/*.ttf; do
  [ -f "$f" ] && cp -n "$f" "$fonts/"
done
regfile=$(mktemp --suffix=.reg)
{
  echo "REGEDIT4"
  echo
  echo "[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]"
  echo "\"Arial\"=\"Liberation Sans\""
  echo "\"Times New Roman\"=\"Liberation Serif\""
  echo "\"Courier New\"=\"Liberation Mono\""
  # Named, so that font lists offer it: the editor's default font must show
  # in the font box.  Tahoma keeps the dialogs' units as they were.
  echo "\"MS Sans Serif\"=\"Tahoma\""
  # A crash must end the program, not wait for someone to close a dialog.
  echo
  echo "[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]"
  echo "\"ShowCrashDialog\"=dword:00000000"
  echo
  echo "[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]"
  echo "\"Decorated\"=\"N\""
  if [ "${1:-}" = "--unmanaged" ]; then
    echo "\"Managed\"=\"N\""
  fi
} > "$regfile"
wine regedit /S "$(winepath -w "$regfile" 2>/dev/null)" >/dev/null 2>&1 </dev/null
rm -f "$regfile"
echo "$version" > "$marker"
