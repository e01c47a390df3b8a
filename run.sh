#!/usr/bin/env bash
# Builds the program, installs it into ${XDG_DATA_HOME:-~/.local/share}/treskel/
# and starts it there under Wine (scripts/start.sh): its notes live in
# Data beside the installed program, outside the build tree.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
if [ ! -f build/win32/build.ninja ]; then
  cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
fi
cmake --build build/win32 --target treskel
exec scripts/start.sh "build/win32/src/Treskel!.exe"
