#!/usr/bin/env python3
"""Writes the fuzz seed corpus into corpus/: a DATA image, then optionally the
little-endian mask of voice files present (bit n = VOICE.n+1; default all)."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def entry(name, start_mark, end_mark, attribute):
    # The reserved bytes are filled: the tool must not read them.
    return (name.ljust(16, b"\0") + struct.pack("<HH", start_mark, end_mark)
            + b"\xa5" * 7 + bytes([attribute]) + b"\xa5" * 4)


def image(*entries):
    return b"".join(entries).ljust(1024, b"\0")


def seed(file_name, data, mask=None):
    if mask is not None:
        data += struct.pack("<I", mask)
    with open(os.path.join(HERE, "corpus", file_name), "wb") as out:
        out.write(data)


os.makedirs(os.path.join(HERE, "corpus"), exist_ok=True)
with open(os.path.join(HERE, "..", "examples", "demo", "DATA"), "rb") as demo:
    seed("demo", demo.read(), 0b11101111)  # VOICE.5 is missing
seed("empty", b"")
seed("full32", image(*(entry(b"VOICE_%02d" % n, 64 * n, 96 * n, n) for n in range(32))), 0xFFFFFFFF)
seed("negative", image(entry(b"DOWN", 0xFFFF, 0, 1), entry(b"LESS", 0x2000, 0x1FFD, 0x7F),
                       entry(b"ODD", 5, 0, 0xFF)))
seed("past_ffff", image(*(entry(b"BIG%d" % n, 0, 0xFFFF, 0x80) for n in range(32))))
seed("names", image(entry(b"SIXTEEN_BYTES_XY", 0, 16, 2), entry(b"MID\0ZERO", 16, 32, 3),
                    entry(b"SKIPPED", 0, 8, 9), entry(b"\n\r%s\tODD", 0, 8, 4),
                    entry(b"\0HIDDEN", 0, 4, 5),
                    entry(b"AFTER_END", 0, 4, 6)), 0xFFFFFFFB)  # only SKIPPED is missing
seed("short_odd", entry(b"SHORT", 0x100, 0x900, 0x12)[:25])
seed("none_present", image(entry(b"A", 0, 8, 1), entry(b"B", 0, 8, 2)), 0)
