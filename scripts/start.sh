#!/usr/bin/env bash
# Installs the built program and its picture library into the user's data
# directory, ${XDG_DATA_HOME:-~/.local/share}/treskel/, and starts it there under
# Wine, so that its notes (Data beside it) live outside the build tree and
# survive a new build.  Notes that an earlier start kept beside the built
# program move along.  Under Xvfb when there is no display.
# Usage: scripts/start.sh PROGRAM.exe
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
built="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
home="${XDG_DATA_HOME:-$HOME/.local/share}/treskel"
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-treskel}"
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
mkdir -p "$home"
# The files of a program that may be running are never written over: its
# image is mapped from them, and the running program would end at its next
# step.  A changed file goes in under another name and is renamed into
# place (the running program keeps the old one); an unchanged one stays.
install_file() {
  local to="$home/$(basename "$1")"
  cmp -s "$1" "$to" && return 0
  cp -f "$1" "$to.new.$$"
  mv -f "$to.new.$$" "$to"
}
install_file "$built"
# The picture library the program loads from beside itself.
if [ -f "$(dirname "$built")/PictLib.dll" ]; then
  install_file "$(dirname "$built")/PictLib.dll"
fi
"$here/prepare-prefix.sh"

key='HKCU\SOFTWARE\Qiv\Treskel!\common'
old="$(dirname "$built")/Data"
if [ -d "$old" ] && [ ! -e "$home/Data" ]; then
  stored="$(wine reg query "$key" /v path 2>/dev/null | tr -d '\r' | sed -n 's/^.*REG_SZ[[:space:]]*//p')"
  if [ "$stored" = "$(winepath -w "$old" 2>/dev/null | tr -d '\r')" ]; then
    mv "$old" "$home/Data"
    # The program stores the directory beside it again at its next start.
    wine reg delete "$key" /v path /f >/dev/null 2>&1
  fi
fi

cd "$home"
exe="$(basename "$built")"
if [ -z "${DISPLAY:-}" ]; then
  # Xvfb alone: no window manager.
  "$here/match-window-manager.sh"
  exec xvfb-run -a -s '-screen 0 1280x1024x24' wine "$exe"
fi
"$here/match-window-manager.sh"
exec wine "$exe"
