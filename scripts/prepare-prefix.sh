#!/usr/bin/env bash
# Readies a Wine prefix for the program: the fonts Wine ships (Debian's
# Wine does not find them by itself, so captions and frame buttons would
# draw with the wrong glyphs), Arial and Times New Roman answered by their
# metric twins, and with --unmanaged no waiting for a window manager (tests
# run under a bare Xvfb).  "MS Sans Serif", the default font of every
# window and of the note editor, is Liberation Sans (Arial's measures),
# not Wine's bitmap files (they win over every substitution and cannot
# slant italics) nor its Tahoma: Tahoma lacks Greek, its bold face draws
# plain above 16 pixels, and its small sizes are drawn from bitmaps whose
# letters are narrower than the sizes the system measures, so that an
# underlined access key stands half a letter to the right.  The prefix's
# Liberation Sans holds the letters it lacks from DejaVu Sans of the same
# style, and the Liberation fonts' lines reach above the accents of their
# capitals (scripts/make-note-font.py).
# "Symbol" is Wine's with the list bullet mapped to its round bullet.
# Wine draws every window's frame itself, with or without a window manager
# (the X11 driver's "Decorated" off), so that the caption the program
# paints, with its own buttons, is the one the user sees.
# Runs once per prefix (again when this preparation changes).
set -u
here="$(cd "$(dirname "$0")" && pwd)"
prefix="${WINEPREFIX:?}"
marker="$prefix/.treskel-prepared"
version=5
[ "$(cat "$marker" 2>/dev/null)" = "$version" ] && exit 0
export WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wine cmd /c exit >/dev/null 2>&1 </dev/null
fonts="$prefix/drive_c/windows/Fonts"
mkdir -p "$fonts"
cp -n /usr/share/wine/fonts/* "$fonts/" 2>/dev/null || true
rm -f "$fonts"/sserif*.fon "$fonts"/ssee*.fon "$fonts"/ssef*.fon "$fonts"/ms_sans_serif.ttf
/usr/bin/python3 "$here/make-symbol-font.py" /usr/share/wine/fonts/symbol.ttf "$fonts/symbol.ttf" || exit 1
liberation=/usr/share/fonts/truetype/liberation
dejavu=/usr/share/fonts/truetype/dejavu
for f in "$liberation"/*.ttf; do
  [ -f "$f" ] && cp -n "$f" "$fonts/"
done
for style in Regular:DejaVuSans Bold:DejaVuSans-Bold Italic:DejaVuSans-Oblique BoldItalic:DejaVuSans-BoldOblique; do
  /usr/bin/python3 "$here/make-note-font.py" "$liberation/LiberationSans-${style%%:*}.ttf" "$dejavu/${style#*:}.ttf" \
    "$fonts/LiberationSans-${style%%:*}.ttf" >/dev/null 2>&1 || exit 1
  /usr/bin/python3 "$here/make-note-font.py" "$liberation/LiberationSerif-${style%%:*}.ttf" \
    "$fonts/LiberationSerif-${style%%:*}.ttf" >/dev/null 2>&1 || exit 1
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
  # in the font box.  Its line keeps the dialogs' units as they were.
  echo "\"MS Sans Serif\"=\"Liberation Sans\""
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
