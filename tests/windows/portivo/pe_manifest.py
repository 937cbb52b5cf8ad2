#!/usr/bin/env python3
"""Prints the application manifest (RT_MANIFEST, id 1) a PE file carries, read from its resource
directory; exits 1 with a reason when there is none. Reads the file only: no Windows needed."""
import struct
import sys

RT_MANIFEST = 24


def fail(why):
    print(f"{sys.argv[1]}: {why}", file=sys.stderr)
    sys.exit(1)


def main():
    data = open(sys.argv[1], "rb").read()
    if data[:2] != b"MZ":
        fail("not a PE file")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        fail("no PE signature")
    sections = struct.unpack_from("<H", data, pe + 6)[0]
    opt_size = struct.unpack_from("<H", data, pe + 20)[0]
    opt = pe + 24
    magic = struct.unpack_from("<H", data, opt)[0]
    dirs = opt + (96 if magic == 0x10B else 112)  # PE32 or PE32+
    res_rva, res_size = struct.unpack_from("<II", data, dirs + 2 * 8)
    if not res_rva:
        fail("no resources")
    table = opt + opt_size
    spans = []
    for i in range(sections):
        s = table + 40 * i
        vsize, va, raw_size, raw_ptr = struct.unpack_from("<IIII", data, s + 8)
        spans.append((va, max(vsize, raw_size), raw_ptr))

    def offset(rva):
        for va, size, raw in spans:
            if va <= rva < va + size:
                return raw + rva - va
        fail(f"address {rva:#x} is in no section")

    base = offset(res_rva)

    def entries(directory):
        named, ids = struct.unpack_from("<HH", data, base + directory + 12)
        for k in range(named + ids):
            name, target = struct.unpack_from("<II", data, base + directory + 16 + 8 * k)
            yield name, target

    def find(directory, wanted):
        for name, target in entries(directory):
            if not name & 0x80000000 and name == wanted:
                return target
        return None

    by_type = find(0, RT_MANIFEST)
    if by_type is None or not by_type & 0x80000000:
        fail("no RT_MANIFEST resource")
    by_id = find(by_type & 0x7FFFFFFF, 1)
    if by_id is None or not by_id & 0x80000000:
        fail("no manifest with id 1 (the one a process is started with)")
    leaf = next(iter(entries(by_id & 0x7FFFFFFF)), None)
    if leaf is None or leaf[1] & 0x80000000:
        fail("manifest resource has no data")
    rva, size = struct.unpack_from("<II", data, base + leaf[1])
    sys.stdout.write(data[offset(rva):offset(rva) + size].decode("utf-8"))


if __name__ == "__main__":
    main()
