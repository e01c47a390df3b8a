#!/usr/bin/env bash
# Configures and builds the configurations: native (tests under ASan and
# UBSan, with the benchmarks built for a smoke run), fuzz (clang,
# libFuzzer) and win32 (mingw); bench (release) only when asked for, as
# scripts/bench.sh does.  With arguments, only those configurations.
set -euo pipefail
cd "$(dirname "$0")/.."
configs=("$@")
[ ${#configs[@]} -gt 0 ] || configs=(native fuzz win32)
for c in "${configs[@]}"; do
  case "$c" in
    native) args=(-DTRESKEL_SANITIZE=ON -DTRESKEL_BENCH=ON) ;;
    fuzz)   args=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTRESKEL_FUZZ=ON -DTRESKEL_TESTS=OFF) ;;
    bench)  args=(-DCMAKE_BUILD_TYPE=Release -DTRESKEL_BENCH=ON -DTRESKEL_TESTS=OFF) ;;
    win32)  args=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake) ;;
    *) echo "unknown configuration $c" >&2; exit 2 ;;
  esac
  if [ ! -f "build/$c/build.ninja" ]; then
    cmake -S . -B "build/$c" -G Ninja "${args[@]}" >/dev/null
  fi
  cmake --build "build/$c"
done
# One test tree over all of them, so that one CTest run reports everything.
{
  for c in native fuzz win32; do
    if [ -f "build/$c/CTestTestfile.cmake" ]; then echo "subdirs(\"$c\")"; fi
  done
} > build/CTestTestfile.cmake
