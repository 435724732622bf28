#!/usr/bin/env python3
"""Writes the launcher image (resource "SRF" 129) to the path given.

The image is the small device-side program Quillet loads into the P/ECE's
memory to start a .pex stored in flash. The host patches the program name
into the 32-byte name field of a copy and loads every section that has both
a data offset and a size. All numbers are unsigned 32-bit big-endian.

Layout (1000 bytes):

  offset   size  content
  0        8     image tag "QLSRF\\0\\1\\0" (not read by the host)
  8        4     offset of the first section header (16)
  12       4     number of section headers (8, not read by the host)
  16       352   eight 44-byte section headers, chained by their next links
  368      176   .text   -> 0x100000; starts with "QUILLET-LAUNCHER"
  544      424   .rodata -> 0x1000B0
  968      32    .name   -> 0x100258; the name field alone
  -        -     .bss    -> 0x100278, 11264 bytes, no data (data offset 0)
  -        -     four empty sections (no address, offset or size)

Section header (44 bytes):

  0   4   offset of the next header (0 ends the chain)
  4   6   flags (4 bytes) and alignment (2 bytes), not read by the host
  10  4   load address
  14  20  section name, zero padded, not read by the host
  34  4   data offset in the image (0: nothing to load)
  38  4   data size (0: nothing to load)
  42  2   reserved, zero

Filler: the simulated device recognises the launcher by the 16 bytes at the
start of .text; the rest of .text is filled with 0x00 and .rodata with the
repeating byte 0xA5, so the two code sections are easy to tell apart in a
memory dump. Neither filler can form the name field, which therefore occurs
only at offset 968.
"""

import struct
import sys

IMAGE_SIZE = 1000
HEADER_SIZE = 16
SECTION_HEADER_SIZE = 44
SECTION_COUNT = 8
FIRST_SECTION = HEADER_SIZE
DATA_START = FIRST_SECTION + SECTION_COUNT * SECTION_HEADER_SIZE  # 368

MAGIC = b"QUILLET-LAUNCHER"
NAME_FIELD = b"0123456789012345678901234567890\0"

FLAG_CODE = 0x00000006
FLAG_DATA = 0x00000003
FLAG_BSS = 0x00000008

TEXT = MAGIC + bytes(176 - len(MAGIC))
RODATA = bytes([0xA5]) * 424

# (name, flags, alignment, load address, data or None, declared size)
SECTIONS = [
    (b".text", FLAG_CODE, 4, 0x100000, TEXT, len(TEXT)),
    (b".rodata", FLAG_DATA, 4, 0x1000B0, RODATA, len(RODATA)),
    (b".name", FLAG_DATA, 4, 0x100258, NAME_FIELD, len(NAME_FIELD)),
    (b".bss", FLAG_BSS, 4, 0x100278, None, 11264),
    (b"", 0, 0, 0, None, 0),
    (b"", 0, 0, 0, None, 0),
    (b"", 0, 0, 0, None, 0),
    (b"", 0, 0, 0, None, 0),
]


def build():
    headers = bytearray()
    data = bytearray()
    for index, (name, flags, align, address, content, size) in enumerate(SECTIONS):
        last = index == len(SECTIONS) - 1
        next_header = 0 if last else FIRST_SECTION + (index + 1) * SECTION_HEADER_SIZE
        if content is not None:
            data_offset = DATA_START + len(data)
            data += content
        else:
            data_offset = 0
        headers += struct.pack(">IIHI20sIIH", next_header, flags, align, address,
                               name, data_offset, size, 0)
    header = b"QLSRF\0\1\0" + struct.pack(">II", FIRST_SECTION, len(SECTIONS))
    image = header + headers + data
    check(image)
    return image


def check(image):
    assert len(image) == IMAGE_SIZE, len(image)
    assert struct.unpack_from(">I", image, 8)[0] == FIRST_SECTION
    assert image.find(NAME_FIELD) == 968
    assert image[DATA_START:DATA_START + len(MAGIC)] == MAGIC
    offset = struct.unpack_from(">I", image, 8)[0]
    seen = 0
    while offset:
        assert offset + SECTION_HEADER_SIZE <= len(image)
        data_offset, size = struct.unpack_from(">II", image, offset + 34)
        if data_offset and size:
            assert data_offset + size <= len(image)
        offset = struct.unpack_from(">I", image, offset)[0]
        seen += 1
        assert seen <= SECTION_COUNT
    assert seen == SECTION_COUNT


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_launcher.py OUTPUT\n")
        return 2
    with open(argv[1], "wb") as out:
        out.write(build())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
