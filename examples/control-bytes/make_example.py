#!/usr/bin/env python3
"""Writes this example's DATA and VOICE.n files into this folder.

A voice table full of the bytes that a text-mode stream would change: 0x1A
(which ends a text-mode read on Windows), CR and LF, in names, marks,
attributes and the unused bytes of the entries. A tool that opens DATA or its
outputs in text mode gives other files here than in binary mode.
"""
import os
import struct

ENTRY_SIZE = 32
SLOTS = 32

# name, start mark, end mark, attribute, unused bytes 20 to 26
VOICES = [
    # 0x1A as the very first byte of DATA; marks hold CR LF and CR 0x1A
    (b"\x1aZ_FIRST", 0x0A0D, 0x1A0D, 0x1A, b"\r\n\r\n\r\n\x1a"),
    # CR, LF and CR LF in the name; equal marks: zero length
    (b"CR\rLF\nCRLF\r\n", 0x0D0A, 0x0D0A, 0x0D, b"\n\r\n\r\n\r\n"),
    # end mark below the start mark: negative length
    (b"NEG\x1a\r\n", 0x1A1A, 0x0A0D, 0x0A, b"\x1a" * 7),
    # a name of all 16 bytes, every one of them CR or LF
    (b"\r\n" * 8, 0x0D0D, 0x0A0A, 0x0D, b"\r\n\x1a\r\n\r\n"),
    (b"LAST\x1a", 0x0000, 0x0D0A, 0x0A, b"\r" * 7),
]


def entry(name, start, end, attribute, unused):
    raw = bytearray(ENTRY_SIZE)
    raw[0:len(name)] = name
    struct.pack_into("<HH", raw, 16, start, end)
    raw[20:27] = unused
    raw[27] = attribute
    return bytes(raw)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    table = b"".join(entry(*v) for v in VOICES)
    table += bytes(ENTRY_SIZE * SLOTS - len(table))
    with open(os.path.join(here, "DATA"), "wb") as f:
        f.write(table)
    for number in range(1, len(VOICES) + 1):
        with open(os.path.join(here, "VOICE.%d" % number), "wb") as f:
            f.write(b"ADPCM voice %d\r\n\x1a" % number)


if __name__ == "__main__":
    main()
