#!/usr/bin/env bash
# Readies a Wine prefix for the program: the fonts Wine ships (Debian's
# Wine does not find them by itself, so captions and frame buttons would
# draw with the wrong glyphs), Arial and Times New Roman answered by their
# metric twins, and with --unmanaged no waiting for a window manager (tests
# run under a bare Xvfb).  Runs once per prefix.
set -u
prefix="${WINEPREFIX:?}"
marker="$prefix/.treskel-prepared"
[ -f "$marker" ] && exit 0
export WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wine cmd /c exit >/dev/null 2>&1 </dev/null
fonts="$prefix/drive_c/windows/Fonts"
mkdir -p "$fonts"
cp -n /usr/share/wine/fonts/* "$fonts/" 2>/dev/null || true
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
  # A crash must end the program, not wait for someone to close a dialog.
  echo
  echo "[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]"
  echo "\"ShowCrashDialog\"=dword:00000000"
  if [ "${1:-}" = "--unmanaged" ]; then
    echo
    echo "[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]"
    echo "\"Managed\"=\"N\""
  fi
} > "$regfile"
wine regedit /S "$(winepath -w "$regfile" 2>/dev/null)" >/dev/null 2>&1 </dev/null
rm -f "$regfile"
touch "$marker"
