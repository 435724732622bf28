#!/usr/bin/env python3
"""The data of one resource of a Windows program file, by its type and name
(numbers): the first language's. As a command it writes the bytes to
standard output:

    pe_resource.py FILE TYPE NAME     (24 1: the manifest; 14 128: the icon group)
"""
import struct
import sys


def resource(path, type_id, name_id):
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections = struct.unpack_from("<H", data, pe + 6)[0]
    optional = struct.unpack_from("<H", data, pe + 20)[0]
    magic = struct.unpack_from("<H", data, pe + 24)[0]
    directories = pe + 24 + (112 if magic == 0x20B else 96)   # PE32+ or PE32
    rsrc_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
    table = []
    for i in range(sections):
        vsize, va, rsize, raw = struct.unpack_from("<IIII", data, pe + 24 + optional + 40 * i + 8)
        table.append((va, max(vsize, rsize), raw))

    def file_offset(rva):
        for va, size, raw in table:
            if va <= rva < va + size:
                return rva - va + raw
        sys.exit("%s: a resource address outside the sections" % path)

    base = file_offset(rsrc_rva)

    def entries(offset):
        named, ids = struct.unpack_from("<HH", data, offset + 12)
        for i in range(named + ids):
            yield struct.unpack_from("<II", data, offset + 16 + 8 * i)

    for t, p in entries(base):
        if t != type_id:
            continue
        for n, p2 in entries(base + (p & 0x7FFFFFFF)):
            if n != name_id:
                continue
            for _, p3 in entries(base + (p2 & 0x7FFFFFFF)):
                rva, size = struct.unpack_from("<II", data, base + p3)
                return data[file_offset(rva):file_offset(rva) + size]
    return None


if __name__ == "__main__":
    found = resource(sys.argv[1], int(sys.argv[2]), int(sys.argv[3]))
    if found is None:
        sys.exit("%s: no resource %s %s" % (sys.argv[1], sys.argv[2], sys.argv[3]))
    sys.stdout.buffer.write(found)
