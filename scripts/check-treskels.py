#!/usr/bin/env python3
"""Reads every treskel of a data directory on its own, from the byte layout
alone, and says what is wrong with it: archives (<name>.tsx), their tree and
note entries, the loose notes of each treskel's folder (<name>.tsn), every
note's header and CRC-32 against its item record, and every body decoded
(level 1 objects unpacked, level 2 expanded by Debian's lha from the stream
wrapped in a one-member archive).  Nothing of the program is used.

Usage: scripts/check-treskels.py DATA_DIR [-v]
Exit status 1 when any fault was found."""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

RECORD = 39
HEADER = 272
IMAGES = {68, 26, 56, 35, 55}
MAX_STORED = 268435456


class Fault(Exception):
    pass


class Reader:
    def __init__(self, data, what):
        self.data, self.pos, self.what = data, 0, what

    def take(self, n):
        if n < 0 or self.pos + n > len(self.data):
            raise Fault(f"{self.what}: wants {n} bytes at {self.pos}, {len(self.data) - self.pos} left")
        b = self.data[self.pos:self.pos + n]
        self.pos += n
        return b

    def i32(self):
        return struct.unpack("<i", self.take(4))[0]


class Item:
    def __init__(self, rec, caption, parent, depth):
        self.expanded, self.locked = rec[0], rec[1]
        self.subcount = struct.unpack_from("<i", rec, 2)[0]
        self.image = struct.unpack_from("<H", rec, 6)[0]
        self.colour, self.style, self.fontsize = rec[8], rec[9], rec[10]
        self.state = struct.unpack_from("<H", rec, 12)[0]
        self.islink = rec[14]
        self.id = struct.unpack_from("<i", rec, 19)[0]
        self.compression = rec[23]
        self.crc = struct.unpack_from("<i", rec, 24)[0]
        plen = rec[28]
        self.password = rec[29:29 + min(plen, 10)]
        self.plen = plen
        self.caption = caption
        self.parent = parent
        self.depth = depth
        self.subs = []


def read_tree(data, what):
    r = Reader(data, what)
    top = r.i32()
    if top < 0:
        raise Fault(f"{what}: negative top count {top}")
    items = []

    def block(parent, depth):
        rec = r.take(RECORD)
        n = r.i32()
        if n < 0 or n > 1 << 20:
            raise Fault(f"{what}: caption length {n}")
        it = Item(rec, r.take(n).decode("cp1252", "replace"), parent, depth)
        items.append(it)
        if it.subcount < 0:
            raise Fault(f"{what}: item {it.id} sub count {it.subcount}")
        for _ in range(it.subcount):
            it.subs.append(block(it, depth + 1))
        return it

    tops = [block(None, 0) for _ in range(top)]
    if r.pos != len(data):
        raise Fault(f"{what}: {len(data) - r.pos} bytes after the last item")
    return tops, items


def crc32(b):
    return zlib.crc32(b) & 0xFFFFFFFF


def lh5_expand(stream, what):
    """Expands a level-2 body (size, then the -lh5- bits) with lha."""
    if len(stream) < 4:
        raise Fault(f"{what}: level-2 body shorter than its size field")
    size = struct.unpack_from("<I", stream)[0]
    if size > MAX_STORED:
        raise Fault(f"{what}: level-2 size {size} beyond the stored bound")
    bits = stream[4:]

    def archive(crc):
        name = b"n"
        h = bytearray(22)
        h[2:7] = b"-lh5-"
        struct.pack_into("<III", h, 7, len(bits), size, 0x5A210000)
        h[19], h[20], h[21] = 0x20, 0, len(name)
        h += name + struct.pack("<H", crc)
        h[0] = len(h) - 2
        h[1] = sum(h[2:]) & 0xFF
        return bytes(h) + bits + b"\0"

    with tempfile.TemporaryDirectory() as d:
        # The first pass learns the bytes, the second checks lha's CRC-16 of them.
        out = None
        for crc in (None, 0):
            path = os.path.join(d, "a.lzh")
            want = 0 if out is None else crc16(out)
            with open(path, "wb") as f:
                f.write(archive(want))
            p = subprocess.run(["lha", "pq", path], capture_output=True)
            if out is not None:
                if p.returncode != 0 or p.stdout != out:
                    raise Fault(f"{what}: lha refuses the level-2 stream ({p.stderr.decode(errors='replace').strip()})")
                break
            out = p.stdout
        if len(out) != size:
            raise Fault(f"{what}: level-2 stream gives {len(out)} bytes, its size field says {size}")
        return out


def crc16(data):
    crc = 0
    table = CRC16_TABLE
    for b in data:
        crc = (crc >> 8) ^ table[(crc ^ b) & 0xFF]
    return crc


def _crc16_table():
    t = []
    for i in range(256):
        c = i
        for _ in range(8):
            c = (c >> 1) ^ 0xA001 if c & 1 else c >> 1
        t.append(c)
    return t


CRC16_TABLE = _crc16_table()


def packed_count(data, i, what):
    """The byte count before a packed object or picture, checked against
    what is left (the bytes and the closing brace); returns it and the
    position after it."""
    if i + 4 > len(data):
        raise Fault(f"{what} count cut off")
    cnt = struct.unpack_from("<I", data, i)[0]
    i += 4
    if i + cnt + 1 > len(data):
        raise Fault(f"{what} of {cnt} bytes runs past the end")
    return cnt, i


def unpack_objects(data, what):
    """Gives back hexadecimal text for the packed objdata and \\pict\\wmet groups."""
    out = bytearray()
    i, n = 0, len(data)
    while i < n:
        c = data[i]
        i += 1
        if c != 0x7B:
            out.append(c)
            continue
        out.append(c)
        s = data[i:i + 10]
        if b"objdata" in s and len(s) == 10:
            out += s
            i += 10
            cnt, i = packed_count(data, i, f"{what}: packed object")
            out += b"\r\n"
            for k in range(cnt):
                out += b"%02X" % data[i + k]
                if k + 1 in (4, 8, 12, 20, 24, 28, 32):
                    out += b"\r\n"
            i += cnt
            out.append(data[i])
            i += 1
        elif b"\\pict\\wmet" in s and len(s) == 10:
            out += s
            i += 10
            while i < n and data[i] not in (10, 13, 32):
                out.append(data[i])
                i += 1
            if i < n:
                out.append(data[i])
                i += 1
            while i < n:
                b = data[i]
                i += 1
                if b in (10, 13, 32):
                    out.append(b)
                if b == 10:
                    break
            cnt, i = packed_count(data, i, f"{what}: packed picture")
            out += data[i:i + cnt].hex().upper().encode()
            i += cnt
            out.append(data[i])
            i += 1
    return bytes(out)


def rtf_text(rtf, what):
    """Checks the braces and gives the plain text (roughly) and what the note holds."""
    if not rtf.startswith(b"{\\rtf"):
        raise Fault(f"{what}: body does not start with {{\\rtf: {rtf[:20]!r}")
    depth, i, n = 0, 0, len(rtf)
    text = bytearray()
    skip_at = None
    kinds = set()
    while i < n:
        c = rtf[i]
        if c == 0x7B:
            depth += 1
            j = i + 1
            if rtf[j:j + 2] == b"\\*" or rtf[j:j + 8] in (b"\\fonttbl", b"\\colortb") or rtf[j:j + 5] in (b"\\pict", b"\\info") \
                    or rtf[j:j + 11] == b"\\stylesheet" or rtf[j:j + 8] == b"\\objdata":
                if skip_at is None:
                    skip_at = depth
            i += 1
            continue
        if c == 0x7D:
            if skip_at == depth:
                skip_at = None
            depth -= 1
            if depth < 0:
                raise Fault(f"{what}: '}}' without its '{{' at {i}")
            i += 1
            if depth == 0 and rtf[i:].strip(b"\r\n\0 ") != b"":
                raise Fault(f"{what}: {len(rtf) - i} bytes after the closing brace")
            continue
        if c == 0x5C:
            j = i + 1
            if j < n and rtf[j] in b"{}\\":
                if skip_at is None:
                    text.append(rtf[j])
                i = j + 1
                continue
            if j < n and rtf[j] == 0x27:
                if skip_at is None:
                    text.append(int(rtf[j + 1:j + 3], 16))
                i = j + 3
                continue
            k = j
            while k < n and (0x61 <= rtf[k] <= 0x7A or 0x41 <= rtf[k] <= 0x5A):
                k += 1
            word = rtf[j:k]
            while k < n and (rtf[k] == 0x2D or 0x30 <= rtf[k] <= 0x39):
                k += 1
            if k < n and rtf[k] == 0x20:
                k += 1
            if word in (b"pict", b"object", b"b", b"i", b"ul", b"highlight", b"cf", b"pntext", b"emfblip",
                        b"wmetafile", b"dibitmap", b"pngblip", b"jpegblip", b"qc", b"qr", b"strike"):
                kinds.add(word.decode())
            if skip_at is None:
                if word in (b"par", b"line"):
                    text += b"\n"
                elif word == b"tab":
                    text += b"\t"
                elif word == b"bin":
                    raise Fault(f"{what}: \\bin in a note")
            i = k
            continue
        if skip_at is None and c not in (0, 10, 13):
            text.append(c)
        i += 1
    if depth != 0:
        raise Fault(f"{what}: {depth} groups not closed")
    return text.decode("cp1252", "replace"), kinds


def check_note(data, what, item=None):
    """Header, CRC and body of one note file; returns a line about it."""
    if len(data) < HEADER:
        raise Fault(f"{what}: {len(data)} bytes, shorter than the header")
    if data[0:4] != b"\x00\x00\x80\x3f":
        raise Fault(f"{what}: version {data[0:4].hex()}")
    level = data[4]
    if data[5] != 7 or data[6:13] != b"Treskel":
        raise Fault(f"{what}: signature {data[5:16]!r}")
    title = data[17:17 + data[16]].decode("cp1252", "replace")
    body = data[HEADER:]
    if level == 0:
        rtf = body
    elif level == 1:
        rtf = unpack_objects(body, what)
    elif level == 2:
        rtf = unpack_objects(lh5_expand(body, what), what)
    else:
        raise Fault(f"{what}: level {level}")
    text, kinds = rtf_text(rtf, what)
    crc = crc32(data)
    faults = []
    if item is not None:
        if item.crc != -1 and (item.crc & 0xFFFFFFFF) != crc:
            faults.append(f"{what}: record CRC {item.crc & 0xFFFFFFFF:08x}, note's {crc:08x}")
        if item.crc == -1:
            faults.append(f"{what}: record CRC -1 (never saved) but a note is stored")
        if title != item.caption[:255]:
            faults.append(f"{what}: note title {title!r}, item caption {item.caption!r} (kept as saved)")
    return level, title, text, kinds, len(rtf), faults


def check_treskel(data_dir, name, verbose):
    faults, notes = [], []
    path = os.path.join(data_dir, name + ".tsx")
    data = open(path, "rb").read()
    r = Reader(data, name + ".tsx")
    size = r.i32()
    tops, items = read_tree(r.take(size), name + ".tsx tree")
    count = r.i32()
    if count != len(items):
        faults.append(f"{name}: archive says {count} items, the tree holds {len(items)}")
    entries = []
    for k in range(count):
        eid = r.i32()
        ln = r.i32()
        if ln < -1 or ln > MAX_STORED:
            raise Fault(f"{name}: entry {k} size {ln}")
        entries.append((eid, r.take(ln) if ln >= 0 else None))
    if r.pos != len(data):
        faults.append(f"{name}.tsx: {len(data) - r.pos} bytes after the last entry")
    loose_dir = os.path.join(data_dir, name + ".tsn")
    loose = {}
    if os.path.isdir(loose_dir):
        for f in os.listdir(loose_dir):
            if f.lower().endswith(".tmp"):
                # A note being written when the program ended: the next
                # open deletes it, the previous note stays.
                notes.append(f"{name}.tsn/{f}: note cut off while written (deleted at the next open)")
                continue
            loose[f] = open(os.path.join(loose_dir, f), "rb").read()
    ids = {}
    for it in items:
        if not it.islink:
            if it.id in ids:
                faults.append(f"{name}: items {ids[it.id].caption!r} and {it.caption!r} share id {it.id}")
            ids[it.id] = it
        if it.id < 0 or it.id > 99999999:
            faults.append(f"{name}: item {it.caption!r} id {it.id} is no note file name")
    for k, (it, (eid, note)) in enumerate(zip(items, entries)):
        where = f"{name}/{it.caption!r} (id {it.id})"
        if eid != it.id:
            faults.append(f"{where}: entry {k} carries id {eid}")
        if it.islink and note is not None:
            faults.append(f"{where}: a link entry carries a note")
        if it.image not in IMAGES:
            faults.append(f"{where}: image {it.image}")
        if it.locked and it.image != 55:
            faults.append(f"{where}: locked but image {it.image}")
        if not it.locked and it.image == 55:
            faults.append(f"{where}: image 55 but not locked")
        if not it.locked:
            want = (35 if it.subs else 56) if it.islink else (26 if it.subs else 68)
            if it.image != want:
                faults.append(f"{where}: image {it.image}, its kind and sub-items say {want}")
        if it.locked and not (1 <= it.plen <= 10):
            faults.append(f"{where}: locked with a password of length {it.plen}")
        if not it.locked and it.plen != 0:
            faults.append(f"{where}: unlocked but keeps a password of length {it.plen}")
        if it.colour > 15:
            faults.append(f"{where}: colour index {it.colour}")
        if it.compression > 2:
            faults.append(f"{where}: compression {it.compression}")
        if it.islink and it.id not in ids:
            notes.append(f"{where}: link whose origin is gone")
        if note is not None:
            try:
                level, title, text, kinds, rtflen, f = check_note(note, where, it)
                faults += [x for x in f if "kept as saved" not in x]
                notes += [x for x in f if "kept as saved" in x]
                if verbose:
                    snippet = text.strip().replace("\n", " / ")[:70]
                    notes.append(f"{where}: level {level}, {len(note)} bytes, RTF {rtflen}, {sorted(kinds)}: {snippet!r}")
            except Fault as e:
                faults.append(str(e))
        elif it.crc != -1 and not it.islink:
            notes.append(f"{where}: no note but record CRC {it.crc & 0xFFFFFFFF:08x}")
        # A loose note is newer than the archive: it wins at the next open,
        # and the record's CRC is the archived note's until the next save.
        if not it.islink and str(it.id) in loose:
            try:
                level, title, text, kinds, rtflen, f = check_note(loose.pop(str(it.id)), where + " [loose]")
                notes.append(f"{where}: loose note, level {level}: {text.strip()[:60]!r}")
            except Fault as e:
                faults.append(str(e))
    for f in sorted(loose):
        what = f"{name}.tsn/{f}"
        try:
            level, title, text, kinds, rtflen, _ = check_note(loose[f], what)
            notes.append(f"{what}: loose note {title!r} (level {level}) no item claims: it comes back"
                         f" as a new item at the next open: {text.strip()[:60]!r}")
        except Fault as e:
            faults.append(str(e))
    return items, faults, notes


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    data_dir = sys.argv[1]
    verbose = "-v" in sys.argv[2:]
    total = 0
    bad = False
    for f in sorted(os.listdir(data_dir)):
        if not f.lower().endswith(".tsx"):
            continue
        name = f[:-4]
        try:
            items, faults, notes = check_treskel(data_dir, name, verbose)
        except Fault as e:
            print(f"FAULT {e}")
            bad = True
            continue
        total += len(items)
        print(f"{name}: {len(items)} items, {len(faults)} faults")
        for x in notes:
            print("  " + x)
        for x in faults:
            print("  FAULT " + x)
        bad = bad or bool(faults)
    others = [f for f in os.listdir(data_dir) if not f.lower().endswith((".tsx", ".tsn"))]
    if others:
        print("other files in the data directory: " + ", ".join(sorted(others)[:20]))
    print(f"{total} items read; {'FAULTS' if bad else 'clean'}")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
