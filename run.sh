#!/usr/bin/env bash
# Builds the program and starts it under Wine with its default data
# directory (Data beside the program); under Xvfb when there is no display.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
if [ ! -f build/win32/build.ninja ]; then
  cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
fi
cmake --build build/win32 --target treskel
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-treskel}"
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exe="build/win32/src/Treskel!.exe"
scripts/prepare-prefix.sh
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s '-screen 0 1280x1024x24' wine "$exe"
fi
exec wine "$exe"
