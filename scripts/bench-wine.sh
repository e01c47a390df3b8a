#!/usr/bin/env bash
# Times the program under Wine where the user waits (run by hand, not by
# test.sh), beside an empty start and the bare system controls doing the
# same work, in the same run:
#   items N...  two treskels of N items each (default: 10000 30000 60000)
#               in each shape (TRESKEL_BENCH_SHAPES, by default all):
#               groups (closed top items of ten), user (a third of the
#               items at the top, each followed by an open run of up to four
#               sub-items of sub-items, notes of about 300 bytes), flat
#               (every item at the top), deep (open runs 100 levels deep)
#               and wide (ten open top items): start until the window is
#               shown and idle, a switch to the second tab and back, and
#               close, beside the bare tree view filled with the same shape
#               and destroyed; and for groups the longest the window takes
#               to answer while it writes its tree a moment after a change
#               (the first item opened), beside the same while idle
#   notes       showing and leaving notes of 0.5, 1, 2 and 8 MB (paragraphs
#               of 80 characters of the same words), of 0.5, 1 and 2 MB of
#               written text (words with commas and stops) in paragraphs of
#               80 characters (prose), of 10 (short), of lines of 80 broken
#               by \line (lines) and of about 4,000 (long), of 0.5, 1
#               and 2 MB of bulleted (bulleted) and of indented paragraphs
#               (indents), of 2 MB of indented, hanging, bulleted and
#               numbered paragraphs mixed (2MB-indented) and of 1 MB in one
#               paragraph (TRESKEL_BENCH_NOTES names some), by a
#               click and by the Down key, and leaving each by the Down key
#               after a click into it, which saves it; each note in a
#               program started for it, then a start with the note as the
#               first item, and the bare control streaming it in, as it is
#               made usually, made keeping its scroll bar, and so marking
#               addresses as the editor has it do, with the load
#               after each; then (alone: saves) the bare control streaming
#               each out as saving does, beside the editor's paragraph
#               filter over what it wrote
#   pages       the preview of notes of 0.5, 2, 4 and 8 MB beside showing
#               them, each in a program started for it (the memory it holds
#               after the show, the most it held by then and by the
#               preview), and laying them out in pages and recording every
#               page as printing does, where the system's control formats
#               no range
#   close N...  start and close with nothing changed on treskels of N items
#               each (default: 2950), in the prefix the tests and the other
#               runs use (--unmanaged) and in the one ./run.sh prepares and
#               starts the program in, without and with a window manager
#               (openbox); TRESKEL_BENCH_AS_BEFORE=1 leaves out the start
#               script's matching of the window manager
#   paste       pasting a small picture three times into the small note
#               and into each note of 0.5, 2 and 8 MB, right after showing
#               it, as the Paste command and Ctrl+V paste; then once more
#               after leaving the note (which saves it) and showing it again
# Without arguments: items, notes, pages and paste.  The treskels are written by the small writer
# below, not by the program.  The machine's load is printed with the times.
set -euo pipefail
cd "$(dirname "$0")/.."
case "${1:-all}" in
  all|items|notes|saves|pages|close|paste) ;;
  *) sed -n '2,/^[^#]/{/^#/s/^# \{0,1\}//p}' "$0"; exit 2 ;;
esac
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s '-screen 0 1280x1024x24' "$0" "$@"
fi
what="${1:-all}"
[ $# -gt 0 ] && shift
counts=("$@")
if [ ${#counts[@]} -eq 0 ]; then
  if [ "$what" = close ]; then counts=(2950); else counts=(10000 30000 60000); fi
fi
# The program to time (by default the one built here), e.g. an older build
# to compare with.
program="${TRESKEL_BENCH_PROGRAM:-build/win32/src/Treskel!.exe}"
if [ ! -f build/win32/build.ninja ]; then
  cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
fi
cmake --build build/win32 --target treskel treskel_timer treskel_reference treskel_paginate >/dev/null
work="$(mktemp -d)"
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
runs=()
wm=""
# Ends a run's Wine server (and with it every Wine process of its prefix),
# then deletes the run: the server is found through its prefix, so a prefix
# deleted first leaves its server and processes running.
end_run() {
  if [ -d "$work/$1/prefix" ]; then
    WINEPREFIX="$work/$1/prefix" wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX="$work/$1/prefix" wineserver -w >/dev/null 2>&1 || true
  fi
  rm -rf "${work:?}/$1"
}
stop() {
  [ -z "$wm" ] || kill "$wm" 2>/dev/null || true
  for run in "${runs[@]}"; do end_run "$run"; done
  for p in prefix prefix-run; do
    [ ! -d "$work/$p" ] || WINEPREFIX="$work/$p" wineserver -k >/dev/null 2>&1 || true
  done
  rm -rf "$work"
}
trap stop EXIT
WINEPREFIX="$work/prefix" scripts/prepare-prefix.sh --unmanaged </dev/null >/dev/null 2>&1
WINEPREFIX="$work/prefix" wineserver -w
# Each run has a prefix of its own: the program keeps its data path in the
# registry.  `new_run NAME [PREFIX]` copies the given prepared prefix.
new_run() {
  runs+=("$1")
  mkdir -p "$work/$1/Data"
  cp "$program" "$work/$1/Treskel!.exe"
  cp -a "$work/${2:-prefix}" "$work/$1/prefix"
}

# The archive format: tree size, tree file, item count, then per item in
# pre-order its id, note size (-1: none) and note file (272-byte header and
# the note as RTF, level 0).  `treskels` writes the two treskels of the item
# runs; `notes` one treskel of top items alternating between a small note
# and each large one, and the large notes' RTF beside it for the reference.
write() {
  python3 - "$@" <<'PY'
import struct, sys
kind, out = sys.argv[1], sys.argv[2]
def note(title, rtf):
    head = struct.pack('<fB', 1.0, 0) + bytes([7]) + b'Treskel' + bytes(3)
    t = title.encode()[:255]
    return head + bytes([len(t)]) + t + bytes(255 - len(t)) + rtf
def rtf(body):
    return ('{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\r\n' + body + '}').encode()
def repeated(size, line):
    return rtf(''.join(line % k for k in range(size // len(line % 0) + 1)))
def paragraphs(size):
    return repeated(size, '\\pard Paragraph %07d: some words of a line of about eighty characters.\\par\r\n')
# The shapes below hold written text: words drawn at random (the same
# each run) with commas and stops inside the paragraphs, where the
# control's text shaping splits a paragraph's text.
import random
vocabulary = ('the of and to in is was that for it with as his on be at by had are but from or have an they which '
              'one you were her all she there would their we him been has when who will more no if out so said what '
              'up its about into than them can only other new some could time these two may then do first any my now '
              'such like our over man me even most made after also did many before must through back years where '
              'much your way well down should because each just those people how too little state good very make '
              'world still own see men work long get here between both life being under never day same another '
              'know while last might us great old year off come since against go came right used take three').split()
def sentences(draw, width):
    # About `width` characters of words, ending with a stop.
    out, n = [], 0
    while n < max(width - 8, 1):
        w = draw.choice(vocabulary)
        if not out or out[-1].endswith('.'):
            w = w.capitalize()
        r = draw.random()
        w += ',' if r < 0.08 else '.' if r < 0.12 else ''
        out.append(w)
        n += len(w) + 1
    return ' '.join(out).rstrip(',.') + '.'
def written(size, width, per_paragraph=1, sep=''):
    draw, body, total = random.Random(size * 7 + width), [], 0
    while total < size:
        p = '\\pard ' + sep.join(sentences(draw, width) for _ in range(per_paragraph)) + '\\par\r\n'
        body.append(p)
        total += len(p)
    return rtf(''.join(body))
def prose(size):
    # Paragraphs of 80 characters.
    return written(size, 80)
def short_paragraphs(size):
    # Paragraphs of 10 characters, as a list.
    return written(size, 10)
def lines(size):
    # Lines of 80 characters broken by \line (Shift+Enter, or text pasted
    # from another program), fifty to a paragraph.
    return written(size, 80, 50, '\\line\r\n')
def long_paragraphs(size):
    # Paragraphs of about 4,000 characters.
    return written(size, 4000)
# As the window writes them (first the first line's indent, then the
# other lines' offset from it), lists with their numbers.
indented_kinds = ('\\pard\\sl-240\\slmult1\\fi720 ',
                  '\\pard\\sl-240\\slmult1\\li360\\fi360 ',
                  "\\pard{\\pntext\\f0 \\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf0\\pnindent0{\\pntxtb\\'b7}}"
                  '\\sl-240\\slmult1\\li360\\fi360 ',
                  '\\pard{\\pntext\\f0 1.\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart1\\pndec{\\pntxta.}}'
                  '\\sl-240\\slmult1\\li360\\fi360 ')
def indented(size, kinds=indented_kinds):
    line = 'Paragraph %07d: some words of a line of about eighty characters.\\par\r\n'
    return rtf(''.join(kinds[k % len(kinds)] + line % k for k in range(size // len(kinds[0] + line % 0) + 1)))
def bulleted(size):
    # Every paragraph a bullet, as the Bullets button makes them.
    return indented(size, (indented_kinds[2],))
def indented_only(size):
    # Every paragraph indented, none of them in a list.
    return indented(size, (indented_kinds[1],))
def one_paragraph(size):
    words = 'some words of one long paragraph that never ends '
    return rtf('\\pard ' + words * (size // len(words) + 1) + '\\par\r\n')
def record(item_id, subs, opened=False):
    r = bytearray(39)
    r[0] = 1 if opened else 0
    struct.pack_into('<iH', r, 2, subs, 26 if subs else 68)
    r[10] = 8
    struct.pack_into('<H', r, 12, 3)
    struct.pack_into('<iBi', r, 19, item_id, 0, -1)
    return bytes(r)
def archive(name, first, items):
    # items: (caption, sub-item count, rtf, top item, open) in pre-order
    tree, entries = [], []
    tree.append(struct.pack('<i', sum(1 for i in items if i[3])))
    for n, (caption, subs, body, top, *opened) in enumerate(items):
        c = caption.encode()
        tree.append(record(first + n, subs, bool(opened and opened[0])) + struct.pack('<i', len(c)) + c)
        b = note(caption, body)
        entries.append(struct.pack('<ii', first + n, len(b)) + b)
    tree = b''.join(tree)
    with open('%s/%s.tsx' % (out, name), 'wb') as f:
        f.write(struct.pack('<i', len(tree)) + tree + struct.pack('<i', len(items)) + b''.join(entries))
if kind == 'treskels':
    count, shape = int(sys.argv[3]), sys.argv[4]
    if shape == 'groups':
        small = rtf(''.join('\\pard Paragraph %d of a note: some words to read.\\par\r\n' % k for k in range(36)))
    else:
        # Notes of about 300 bytes, as a user's short notes.
        small = rtf(''.join('\\pard Line %d of a short note, a few words.\\par\r\n' % k for k in range(5)))
    # The shape as (level, open) in pre-order: top items at level 0.
    levels = []
    if shape == 'groups':                     # closed top items of up to ten
        while len(levels) < count:
            levels += [(0, False)] + [(1, False)] * min(9, count - len(levels) - 1)
    elif shape == 'flat':                     # every item at the top
        levels = [(0, False)] * count
    elif shape == 'deep':                     # open runs 100 levels deep
        while len(levels) < count:
            levels += [(d, True) for d in range(min(100, count - len(levels)))]
    elif shape == 'wide':                     # ten open top items
        per = -(-count // 10)
        while len(levels) < count:
            levels += [(0, True)] + [(1, False)] * min(per - 1, count - len(levels) - 1)
    elif shape == 'user':
        # A third of the items at the top, each followed by a run of 0 to 4
        # sub-items of sub-items, open as a user leaves them.
        k = 0
        while len(levels) < count:
            run = min(k % 5, count - len(levels) - 1)
            levels += [(d, True) for d in range(run + 1)]
            k += 1
    else:
        sys.exit('unknown shape ' + shape)
    subs = [0] * count
    parents = []
    for n, (level, _) in enumerate(levels):
        del parents[level:]
        if parents: subs[parents[-1]] += 1
        parents.append(n)
    for name, first in (('First', 10000000), ('Second', 20000000)):
        items = [('Item %d' % n, subs[n], small, level == 0, opened and subs[n] > 0)
                 for n, (level, opened) in enumerate(levels)]
        archive(name, first, items)
    # The same shape for the bare tree view of the reference.
    with open('%s/../shape.txt' % out, 'w') as f:
        f.write(''.join('%d %d\n' % (level, opened and subs[n] > 0) for n, (level, opened) in enumerate(levels)))
elif kind == 'first':
    # A treskel whose first item holds the note of the given file, as the
    # item shown at start.
    with open(sys.argv[3], 'rb') as f:
        body = f.read()
    archive('Notes', 30000000, [('First', 0, body, True), ('Small', 0, rtf('\\pard A small note.\\par\r\n'), True)])
else:
    small = rtf('\\pard A small note.\\par\r\n')
    mb = 1024 * 1024
    large = [('0.5MB', paragraphs(mb // 2)), ('2MB', paragraphs(2 * mb)), ('8MB', paragraphs(8 * mb)),
             ('2MB-indented', indented(2 * mb)), ('1MB-one-paragraph', one_paragraph(mb)),
             ('4MB', paragraphs(4 * mb)), ('1MB', paragraphs(mb))]
    for kind, shape in (('bulleted', bulleted), ('indents', indented_only)):
        large += [('0.5MB-' + kind, shape(mb // 2)), ('1MB-' + kind, shape(mb)), ('2MB-' + kind, shape(2 * mb))]
    for kind, shape in (('prose', prose), ('short', short_paragraphs), ('lines', lines), ('long', long_paragraphs)):
        large += [('0.5MB-' + kind, shape(mb // 2)), ('1MB-' + kind, shape(mb)), ('2MB-' + kind, shape(2 * mb))]
    items = [('Small 0', 0, small, True)]
    for k, (label, body) in enumerate(large):
        items += [(label, 0, body, True), ('Small %d' % (k + 1), 0, small, True)]
        with open('%s/../%s.rtf' % (out, label), 'wb') as f:
            f.write(body)
    with open('%s/../rows.txt' % out, 'w') as f:
        f.write(''.join('%s %d\n' % (label, 2 * k + 1) for k, (label, _) in enumerate(large)))
    archive('Notes', 30000000, items)
PY
}

# Wine itself is up before the clock starts.
wine_up() {
  export WINEPREFIX="$work/$1/prefix"
  wineserver -p >/dev/null 2>&1 </dev/null || true
  wine cmd /c exit >/dev/null 2>&1 </dev/null
}
run() {
  wine_up "$1"
  wine build/win32/bench/wine/treskel_timer.exe "$(winepath -w "$work/$1/Treskel!.exe")" "${@:2}" 2>/dev/null |
    tr -d '\r'
}
reference() {
  wine_up "$1"
  (cd "$work/$1" && wine "$OLDPWD/build/win32/bench/wine/treskel_reference.exe" "${@:2}" 2>/dev/null | tr -d '\r')
}
value() { echo "$1" | awk -v k="$2" -v l="${3:-}" '$1 == k && (l == "" || $2 == l) { print $NF }'; }
load() { echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"; }

new_run empty
empty=$(run empty)
load
printf '%-28s %10s\n' "empty start (ms)" "$(value "$empty" start)"
printf '%-28s %10s\n' "empty close (ms)" "$(value "$empty" close)"

if [ "$what" = all ] || [ "$what" = items ]; then
  # Each shape: two treskels of it, the program started on them, switched
  # to the second tab and back and closed; then the bare tree view filled
  # with the same shape and destroyed, in the same prefix.
  shapes=(${TRESKEL_BENCH_SHAPES:-groups user flat deep wide})
  for items in "${counts[@]}"; do
    declare -A timed=() bare=() size=()
    changed=""
    for shape in "${shapes[@]}"; do
      name="$shape$items"
      new_run "$name"
      write treskels "$work/$name/Data" "$items" "$shape"
      size[$shape]=$(du -m "$work/$name/Data/First.tsx" | cut -f1)
      timed[$shape]=$(run "$name" switch)
      [ "$shape" != groups ] || changed=$(run "$name" change)
      bare[$shape]=$(reference "$name" tree "$items" shape.txt)
      end_run "$name"
    done
    echo
    load
    printf '%-10s %4s %7s %7s %7s %7s %7s %7s %7s %7s\n' "$items items" "MB" "start" "to 2nd" "to 1st" "close" \
      "bare" "bare" "2nd÷" "1st÷"
    printf '%-10s %4s %7s %7s %7s %7s %7s %7s %7s %7s\n' "(ms)" "" "" "" "" "" "fill" "destroy" "(f+d)" "(f+d)"
    printf '%-10s %4s %7s %7s %7s %7s\n' "empty" "" "$(value "$empty" start)" "" "" "$(value "$empty" close)"
    for shape in "${shapes[@]}"; do
      t="${timed[$shape]}" b="${bare[$shape]}"
      f=$(value "$b" tree-fill) d=$(value "$b" tree-destroy)
      ratio() { awk -v s="$1" -v f="$f" -v d="$d" 'BEGIN { if (s != "" && f + d > 0) printf "%.2f", s / (f + d) }'; }
      printf '%-10s %4s %7s %7s %7s %7s %7s %7s %7s %7s\n' "$shape" "${size[$shape]}" "$(value "$t" start)" \
        "$(value "$t" to-second)" "$(value "$t" to-first)" "$(value "$t" close)" "$f" "$d" \
        "$(ratio "$(value "$t" to-second)")" "$(ratio "$(value "$t" to-first)")"
    done
    if [ -n "$changed" ]; then
      printf 'groups: longest stall %s ms idle, %s ms while the tree is written\n' \
        "$(value "$changed" idle-stall)" "$(value "$changed" change-stall)"
    fi
    unset timed bare size
  done
fi

if [ "$what" = close ]; then
  # The prefix ./run.sh prepares: Wine waits for a window manager there.
  WINEPREFIX="$work/prefix-run" scripts/prepare-prefix.sh </dev/null >/dev/null 2>&1
  WINEPREFIX="$work/prefix-run" wineserver -w
  for items in "${counts[@]}"; do
    declare -A closed=()
    for kind in tests run run-openbox; do
      new_run "close-$kind-$items" "$([ "$kind" = tests ] && echo prefix || echo prefix-run)"
      write treskels "$work/close-$kind-$items/Data" "$items" groups
      if [ "$kind" = run-openbox ]; then
        openbox >/dev/null 2>&1 &
        wm=$!
        sleep 2
      fi
      # As ./run.sh starts the program (scripts/start.sh).
      [ "$kind" = tests ] || [ -n "${TRESKEL_BENCH_AS_BEFORE:-}" ] || WINEPREFIX="$work/close-$kind-$items/prefix" scripts/match-window-manager.sh
      timed=$(run "close-$kind-$items")
      closed[$kind]="$(value "$timed" start) $(value "$timed" close)"
      if [ -n "$wm" ]; then kill "$wm" 2>/dev/null || true; wait "$wm" 2>/dev/null || true; wm=""; fi
      end_run "close-$kind-$items"
    done
    echo
    load
    printf '%-36s %10s %10s\n' "milliseconds, $items items" "start" "close"
    printf '%-36s %10s %10s\n' "tests' prefix (unmanaged)" ${closed[tests]}
    printf '%-36s %10s %10s\n' "run.sh's prefix, no window manager" ${closed[run]}
    printf '%-36s %10s %10s\n' "run.sh's prefix, openbox" ${closed[run-openbox]}
  done
fi

if [ "$what" = all ] || [ "$what" = notes ] || [ "$what" = pages ] || [ "$what" = paste ] || [ "$what" = saves ]; then
  new_run notes
  write notes "$work/notes/Data"
fi

if [ "$what" = all ] || [ "$what" = notes ]; then
  # Each note in a program started for it, the bare control beside it, and
  # the load as each was timed.
  labels=(${TRESKEL_BENCH_NOTES:-0.5MB 1MB 2MB 8MB 0.5MB-prose 1MB-prose 2MB-prose 0.5MB-short 1MB-short 2MB-short
    0.5MB-lines 1MB-lines 2MB-lines 0.5MB-long 1MB-long 2MB-long 0.5MB-bulleted 1MB-bulleted 2MB-bulleted
    0.5MB-indents 1MB-indents 2MB-indents 2MB-indented 1MB-one-paragraph})
  echo
  printf '%-18s %8s %8s %8s %8s %8s %8s %8s %8s %8s  %s\n' "milliseconds" "show" "leave" "show" "leave" "save," \
    "start," "bare" "bare," "bar kept," "load"
  printf '%-18s %8s %8s %8s %8s %8s %8s %8s %8s %8s\n' "" "click" "click" "Down" "Down" "Down" "first" "control" \
    "bar kept" "address"
  for l in "${labels[@]}"; do
    timed=$(run notes notes "$l@$(value "$(cat "$work/notes/rows.txt")" "$l")")
    bare=$(reference notes notes "$l.rtf")
    # Started with the note as the first item, which the window shows.
    new_run first
    write first "$work/first/Data" "$work/notes/$l.rtf"
    first=$(run first)
    end_run first
    unset 'runs[-1]'
    printf '%-18s %8s %8s %8s %8s %8s %8s %8s %8s %8s  %s\n' "$l" "$(value "$timed" show-click "$l")" \
      "$(value "$timed" leave-click "$l")" "$(value "$timed" show-key "$l")" \
      "$(value "$timed" leave-key "$l")" "$(value "$timed" save-key "$l")" "$(value "$first" start)" \
      "$(value "$bare" bare-show "$l.rtf")" "$(value "$bare" bare-kept-show "$l.rtf")" \
      "$(value "$bare" bare-kept-addresses-show "$l.rtf")" "$(cut -d' ' -f1-3 /proc/loadavg)"
  done
fi

if [ "$what" = all ] || [ "$what" = notes ] || [ "$what" = saves ]; then
  # Not the note of one paragraph: the bare control, shown and written
  # out, faults in its text shaping.
  labels=(0.5MB 2MB 8MB 2MB-indented)
  saved=$(reference notes saves "${labels[@]/%/.rtf}")
  echo
  load
  printf '%-22s %11s %11s\n' "milliseconds" "bare save" "paragraph"
  printf '%-22s %11s %11s\n' "" "control" "filter"
  for l in "${labels[@]}"; do
    printf '%-22s %11s %11s\n' "$l" "$(value "$saved" bare-save "$l.rtf")" "$(value "$saved" para-filter "$l.rtf")"
  done
fi

if [ "$what" = all ] || [ "$what" = pages ]; then
  labels=(0.5MB 2MB 4MB 8MB)
  declare -A rows=([0.5MB]=1 [2MB]=3 [8MB]=5 [4MB]=11)
  previewed=""
  for l in "${labels[@]}"; do previewed+=$(run notes preview "${rows[$l]}" "$l")$'\n'; done
  wine_up notes
  paged=$(cd "$work/notes" && wine "$OLDPWD/build/win32/bench/wine/treskel_paginate.exe" "${labels[@]/%/.rtf}" \
    2>/dev/null | tr -d '\r')
  echo
  load
  printf '%-8s %9s %9s %9s %9s %9s %9s %9s %9s\n' "" "show" "preview" "held" "peak" "peak" "pages" "lay out" "record"
  printf '%-8s %9s %9s %9s %9s %9s %9s %9s %9s\n' "" "(ms)" "(ms)" "(MB)" "shown" "preview" "" "(ms)" "all (ms)"
  for l in "${labels[@]}"; do
    shown=$(echo "$previewed" | awk -v l="$l" '$1 == "shown" && $2 == l { print $3, $4 }')
    peak=$(echo "$previewed" | awk -v l="$l" '$1 == "previewed" && $2 == l { print $4 }')
    printf '%-8s %9s %9s %9s %9s %9s %9s %9s %9s\n' "$l" "$(value "$previewed" show "$l")" \
      "$(value "$previewed" preview "$l")" "${shown% *}" "${shown#* }" "$peak" \
      "$(echo "$paged" | awk -v f="$l.rtf" '$2 == f { print $3 }')" \
      "$(echo "$paged" | awk -v f="$l.rtf" '$2 == f { print $4 }')" \
      "$(echo "$paged" | awk -v f="$l.rtf" '$2 == f { print $5 }')"
  done
fi

if [ "$what" = all ] || [ "$what" = paste ]; then
  labels=(0.5MB 2MB 8MB)
  pasted=$(run notes paste "${labels[@]}")
  echo
  load
  printf '%-22s %9s %9s %9s %9s\n' "milliseconds" "paste 1" "paste 2" "paste 3" "saved"
  for l in small "${labels[@]}"; do
    printf '%-22s %9s %9s %9s %9s\n' "$l" "$(value "$pasted" paste-1 "$l")" "$(value "$pasted" paste-2 "$l")" \
      "$(value "$pasted" paste-3 "$l")" "$(value "$pasted" paste-saved "$l")"
  done
fi
