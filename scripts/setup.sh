#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine.
# Safe to run again: it installs only what is missing.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  updated=0
fi

# openbox: a small window manager, to see the program's own frame and
# caption buttons as a user with a desktop does.  fonts-urw-base35: fonts
# with PostScript outlines, as many desktops carry them, for printing tests.
# fonts-dejavu-*: the letters the note font lacks (scripts/prepare-prefix.sh).
pkgs=(wine wine32:i386 fonts-wine g++-mingw-w64-i686 mingw-w64-i686-dev
      xvfb xauth x11-utils xdotool imagemagick cmake ninja-build googletest
      libbenchmark-dev zlib1g-dev lhasa nasm dpkg-dev clang libclang-rt-14-dev
      libjpeg62-turbo-dev libstb-dev fonts-liberation fonts-dejavu-core fonts-dejavu-extra python3-fonttools openbox fonts-urw-base35)
for p in "${pkgs[@]}"; do have "$p" || need+=("$p"); done

# libjpeg's sources are built for the Win32 target; they come from deb-src.
srcdir="$(cd "$(dirname "$0")/.." && pwd)/third_party"
need_src=0
[ -d "$srcdir/libjpeg-turbo" ] || need_src=1

if [ ${#need[@]} -gt 0 ] || [ $need_src -eq 1 ]; then
  if [ $need_src -eq 1 ] && ! grep -rqs -E '^(deb-src |Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      $SUDO sed -i 's/^Types: deb$/Types: deb deb-src/' /etc/apt/sources.list.d/debian.sources
    else
      src=$(grep -hs -E '^deb (http|https)://[^ ]*debian[^ ]* bookworm main' /etc/apt/sources.list | head -n1 || true)
      [ -n "$src" ] || src="deb http://deb.debian.org/debian bookworm main"
      echo "${src/deb /deb-src }" | $SUDO tee /etc/apt/sources.list.d/treskel-src.list >/dev/null
    fi
  fi
  $SUDO apt-get update -qq
  if [ ${#need[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}"
  fi
fi

if [ $need_src -eq 1 ]; then
  mkdir -p "$srcdir"
  tmp=$(mktemp -d)
  (cd "$tmp" && apt-get source -qq libjpeg-turbo >/dev/null 2>&1)
  d=$(find "$tmp" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n1)
  [ -n "$d" ] || { echo "setup: could not fetch the libjpeg-turbo sources" >&2; exit 1; }
  mv "$d" "$srcdir/libjpeg-turbo"
  rm -rf "$tmp"
fi
