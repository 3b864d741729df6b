#!/usr/bin/env python3
"""Writes the demo's DATA and VOICE.n files into this folder.

Eight voices, each showing one rule of the layout; VOICE.5 is left out on
purpose so that the run reports it and skips it.
"""
import os
import struct

ENTRY_SIZE = 32
SLOTS = 32

# name, start mark, end mark, attribute
VOICES = [
    (b"PIANO_C4", 0x0000, 0x1000, 0x12),
    (b"STRINGS_SUSTAIN1", 0x0100, 0x0900, 0x00),  # a name of all 16 bytes
    (b"RIMSHOT", 0x2000, 0x2003, 0x01),           # zero length
    (b"REVERSE_CYMBAL", 0x2000, 0x1FF0, 0x7F),    # end mark below start mark
    (b"BASS_E1", 0x0000, 0x0800, 0x20),           # its VOICE.5 is missing
    (b"SNARE", 0x0000, 0x0400, 0xFF),
    (b"HIHAT_CLOSED", 0x1000, 0x1200, 0x40),
    (b"CRASH", 0x0000, 0x2000, 0x80),
]
MISSING = {5}
# After the empty slot that ends the table: never looked at.
AFTER_END = (b"NEVER_LAID_OUT", 0x0000, 0x4000, 0x55)


def entry(name, start, end, attribute):
    raw = bytearray(ENTRY_SIZE)
    raw[0:len(name)] = name
    struct.pack_into("<HH", raw, 16, start, end)
    raw[27] = attribute
    return bytes(raw)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    table = b"".join(entry(*v) for v in VOICES)
    table += bytes(ENTRY_SIZE) + entry(*AFTER_END)
    table += bytes(ENTRY_SIZE * SLOTS - len(table))
    with open(os.path.join(here, "DATA"), "wb") as f:
        f.write(table)
    for number in range(1, len(VOICES) + 1):
        path = os.path.join(here, "VOICE.%d" % number)
        if number in MISSING:
            if os.path.exists(path):
                os.remove(path)
            continue
        # Only the presence of a voice file counts; its bytes are a stand-in.
        with open(path, "wb") as f:
            f.write(b"ADPCM voice %d\n" % number)


if __name__ == "__main__":
    main()
