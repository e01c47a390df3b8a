#!/usr/bin/env python3
"""Makes the LH5 streams of another encoder that tests/compress reads.

Each input of tests/data/jlha/ (NAME.bin, made here from fixed seeds) is
archived by Debian's jlha-utils (`jlha`, a -lh5- writer of its own), and
the member's bit stream is taken out of the archive and written as a note
body stores it: the 4-byte uncompressed size, little-endian, followed by
the -lh5- bit stream (NAME.lh5).  Run it again to make the same inputs; the
streams are whatever that jlha writes.  Needs: apt-get install jlha-utils.
"""
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "tests", "data", "jlha")

WORDS = ("the note tree item of and to treskel window garden letter meeting "
         "budget plan a is for with Monday project idea list call review draft "
         "summer paper in ".split())


def prose(rng, n):
    out = []
    size = 0
    while size < n:
        sentence = " ".join(rng.choice(WORDS) for _ in range(rng.randint(4, 14)))
        sentence = sentence[0].upper() + sentence[1:] + (". " if rng.random() < 0.8 else ".\n\n")
        out.append(sentence)
        size += len(sentence)
    return "".join(out)[:n].encode("ascii")


def rtf(rng, n):
    head = ("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Tahoma;}"
            "{\\f1\\fswiss\\fcharset0 Arial;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
            "\\viewkind4\\uc1\\pard\\f0\\fs20 ")
    body = []
    size = len(head)
    while size < n - 3:
        r = rng.random()
        if r < 0.08:
            piece = "\\par\r\n"
        elif r < 0.12:
            piece = "{\\b " + rng.choice(WORDS) + "} "
        elif r < 0.15:
            piece = "\\cf1 " + rng.choice(WORDS) + "\\cf0 "
        else:
            piece = rng.choice(WORDS) + (", " if rng.random() < 0.1 else " ")
        body.append(piece)
        size += len(piece)
    return (head + "".join(body))[: n - 3].encode("ascii") + b"\r\n}"


def binary(rng, n):
    # A table of records: counters, small numbers and a repeated tag, as
    # structured binary data looks.
    out = bytearray()
    i = 0
    while len(out) < n:
        out += struct.pack("<IHHB3s", i * 7919 % 65536, rng.randint(0, 40), i % 13, rng.getrandbits(8), b"REC")
        i += 1
    return bytes(out[:n])


INPUTS = {
    # name: (maker, size)
    "text": (prose, 3000),
    "rtf": (rtf, 6000),
    "binary": (binary, 4000),
    "zeros": (lambda rng, n: bytes(n), 100),
    "short": (lambda rng, n: b"Hello, world! Hello, world! Hello, world!\n", 42),
    # Larger than the 8 KB window several times over.
    "large": (rtf, 40000),
}


def lh5_member(archive):
    """The method, original size and bit stream of the archive's first member."""
    data = open(archive, "rb").read()
    level = data[20]
    method = data[2:7]
    packed, original = struct.unpack_from("<II", data, 7)
    if level == 0:
        start = 2 + data[0]
    elif level == 1:
        start = 2 + data[0]
        # Extended headers follow the base header and count in `packed`.
        ext = struct.unpack_from("<H", data, start - 2)[0]
        while ext:
            packed -= ext
            start += ext
            ext = struct.unpack_from("<H", data, start - 2)[0]
    elif level == 2:
        start = struct.unpack_from("<H", data, 0)[0]
    else:
        sys.exit("unknown header level %d in %s" % (level, archive))
    return method, original, data[start:start + packed]


def main():
    if shutil.which("jlha") is None:
        sys.exit("jlha is not installed (apt-get install jlha-utils)")
    os.makedirs(OUT, exist_ok=True)
    for seed, (name, (make, size)) in enumerate(sorted(INPUTS.items())):
        raw = make(random.Random(seed), size)
        assert len(raw) == size, name
        with tempfile.TemporaryDirectory() as tmp:
            member = os.path.join(tmp, name + ".bin")
            open(member, "wb").write(raw)
            archive = os.path.join(tmp, name + ".lzh")
            subprocess.run(["jlha", "ao5q", archive, name + ".bin"], cwd=tmp, check=True,
                           stdout=subprocess.DEVNULL)
            method, original, bits = lh5_member(archive)
        if method != b"-lh5-" or original != size:
            sys.exit("%s: jlha stored it as %r, %d bytes" % (name, method, original))
        open(os.path.join(OUT, name + ".bin"), "wb").write(raw)
        open(os.path.join(OUT, name + ".lh5"), "wb").write(struct.pack("<I", size) + bits)
        print("%-7s %6d bytes -> %6d" % (name, size, len(bits)))


if __name__ == "__main__":
    main()
