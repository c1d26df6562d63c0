#!/usr/bin/env python3
"""Reads the version resource back from setup.exe and checks it against what
the file's properties must show.

Usage: check-version.py SETUP_EXE

- The fixed file and product versions, and the FileVersion and
  ProductVersion texts, are the version of the manifest's assembly identity.
- ProductName, CompanyName and OriginalFilename are the product's; the
  FileDescription is not empty.
Prints what it read.
"""
import re
import struct
import sys

from pe_file import read_resources

RT_VERSION = 16
RT_MANIFEST = 24
EXPECTED = {"ProductName": "Ravozeve Vuzizirer", "CompanyName": "Varnex", "OriginalFilename": "setup.exe"}


def read_block(data, at):
    """One block of a version resource: (key, value, children, end)."""
    length, value_length, kind = struct.unpack_from("<HHH", data, at)
    end = at + length
    key_end = at + 6
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[at + 6:key_end].decode("utf-16-le")
    value_at = (key_end + 2 + 3) & ~3
    size = value_length * 2 if kind == 1 else value_length
    value = data[value_at:value_at + size]
    if kind == 1:
        value = value.decode("utf-16-le").rstrip("\0")
    children, child = [], (value_at + size + 3) & ~3
    while child < end:
        block = read_block(data, child)
        children.append(block)
        child = (block[3] + 3) & ~3
    return key, value, children, end


def main():
    data = open(sys.argv[1], "rb").read()
    resources = read_resources(data)
    versions = [value for key, value in resources.items() if key[0] == RT_VERSION]
    manifests = [value for key, value in resources.items() if key[0] == RT_MANIFEST]
    if len(versions) != 1 or len(manifests) != 1:
        print("%d version resources and %d manifests, not one each" % (len(versions), len(manifests)))
        return 1
    identity = re.search(rb"<assemblyIdentity[^>]*>", manifests[0])
    version = re.search(rb'version="([0-9.]+)"', identity.group(0)).group(1).decode()

    key, fixed, children, _ = read_block(versions[0], 0)
    problems = []
    if key != "VS_VERSION_INFO" or struct.unpack_from("<I", fixed)[0] != 0xFEEF04BD:
        problems.append("no VS_VERSION_INFO with a fixed part")
        fixed = bytes(52)
    file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<4I", fixed, 8)
    numbers = lambda ms, ls: "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    texts = {}
    for child in children:
        if child[0] == "StringFileInfo":
            for table in child[2]:
                texts.update({name: value for name, value, _, _ in table[2]})
    print("fixed file version %s, product version %s; manifest version %s"
          % (numbers(file_ms, file_ls), numbers(product_ms, product_ls), version))
    for name, value in sorted(texts.items()):
        print("%s: %s" % (name, value))

    for name, value in (("fixed file version", numbers(file_ms, file_ls)),
                        ("fixed product version", numbers(product_ms, product_ls)),
                        ("FileVersion", texts.get("FileVersion")),
                        ("ProductVersion", texts.get("ProductVersion"))):
        if value != version:
            problems.append("%s is %s, not the manifest's %s" % (name, value, version))
    for name, value in EXPECTED.items():
        if texts.get(name) != value:
            problems.append("%s is %r, not %r" % (name, texts.get(name), value))
    if not texts.get("FileDescription"):
        problems.append("no FileDescription")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
