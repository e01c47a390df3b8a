#!/usr/bin/env bash
# Times the program under Wine on two large treskels (run by hand, not by
# test.sh): start until the window is shown and idle, a switch to the second
# tab and back, and close; beside an empty start in the same run.  The
# treskels are written by the small writer below, not by the program.
# Argument: the number of items of each treskel (default 10000).
set -euo pipefail
cd "$(dirname "$0")/.."
items="${1:-10000}"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s '-screen 0 1280x1024x24' "$0" "$@"
fi
if [ ! -f build/win32/build.ninja ]; then
  cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
fi
cmake --build build/win32 --target treskel treskel_timer >/dev/null
work="$(mktemp -d)"
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
stop() {
  for run in empty large; do WINEPREFIX="$work/$run/prefix" wineserver -k >/dev/null 2>&1 || true; done
  rm -rf "$work"
}
trap stop EXIT
WINEPREFIX="$work/prefix" scripts/prepare-prefix.sh --unmanaged </dev/null >/dev/null 2>&1
WINEPREFIX="$work/prefix" wineserver -w
# Each run has a prefix of its own: the program keeps its data path in the
# registry.
for run in empty large; do
  mkdir -p "$work/$run/Data"
  cp "build/win32/src/Treskel!.exe" "$work/$run/"
  cp -a "$work/prefix" "$work/$run/prefix"
done

# The archive format: tree size, tree file, item count, then per item in
# pre-order its id, note size (-1: none) and note file (272-byte header and
# the note as RTF, level 0).
python3 - "$work/large/Data" "$items" <<'PY'
import struct, sys
out, items = sys.argv[1], int(sys.argv[2])
def note(title, i):
    head = struct.pack('<fB', 1.0, 0) + bytes([7]) + b'Treskel' + bytes(3)
    t = title.encode()[:255]
    head += bytes([len(t)]) + t + bytes(255 - len(t))
    body = ''.join('\\pard Paragraph %d of note %d: some words to read.\\par\r\n' % (k, i) for k in range(36))
    return head + ('{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\r\n' + body + '}').encode()
def record(item_id, subs):
    r = bytearray(39)
    struct.pack_into('<iH', r, 2, subs, 26 if subs else 68)
    r[10] = 8
    struct.pack_into('<H', r, 12, 3)
    struct.pack_into('<iBi', r, 19, item_id, 0, -1)
    return bytes(r)
for name, first in (('First', 10000000), ('Second', 20000000)):
    tree, entries, n = [], [], 0
    tops = []
    while n < items:                      # top items of up to ten sub-items
        subs = min(9, items - n - 1)
        tops.append(subs)
        n += 1 + subs
    tree.append(struct.pack('<i', len(tops)))
    n = 0
    for subs in tops:
        for k in range(1 + subs):
            item_id = first + n
            caption = ('Item %d' % n).encode()
            tree.append(record(item_id, subs if k == 0 else 0) + struct.pack('<i', len(caption)) + caption)
            body = note('Item %d' % n, n)
            entries.append(struct.pack('<ii', item_id, len(body)) + body)
            n += 1
    tree = b''.join(tree)
    with open('%s/%s.tsx' % (out, name), 'wb') as f:
        f.write(struct.pack('<i', len(tree)) + tree + struct.pack('<i', n) + b''.join(entries))
PY
size=$(du -m "$work/large/Data/First.tsx" | cut -f1)

# Wine itself is up before the clock starts.
run() {
  export WINEPREFIX="$work/$1/prefix"
  wineserver -p >/dev/null 2>&1 </dev/null || true
  wine cmd /c exit >/dev/null 2>&1 </dev/null
  wine build/win32/bench/wine/treskel_timer.exe "$(winepath -w "$work/$1/Treskel!.exe")" "${@:2}" 2>/dev/null |
    tr -d '\r'
}
empty=$(run empty)
large=$(run large switch)
value() { echo "$1" | awk -v k="$2" '$1 == k { print $2 }'; }
printf '%-28s %10s %16s\n' "milliseconds" "empty" "$items items (${size} MB)"
for k in start to-second to-first close; do
  printf "%-28s %10s %16s\n" "$k" "$(value "$empty" "$k")" "$(value "$large" "$k")"
done
