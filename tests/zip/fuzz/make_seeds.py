#!/usr/bin/env python3
"""Writes fuzz seeds from the test archives: each stored entry name into
<out>/zip_names, each local extra field into <out>/zip_extra_field.

Usage: make_seeds.py <folder of the test archives> <out>
"""
import hashlib
import os
import struct
import sys

archives, out = sys.argv[1], sys.argv[2]


def save(kind, data):
    folder = os.path.join(out, kind)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, hashlib.sha1(data).hexdigest()), "wb") as f:
        f.write(data)


# The local headers are read as they lie, so that damaged archives give their
# odd fields too.
for name in sorted(os.listdir(archives)):
    if not name.endswith(".zip"):
        continue
    data = open(os.path.join(archives, name), "rb").read()
    at = data.find(b"PK\x03\x04")
    while at >= 0 and at + 30 <= len(data):
        name_length, extra_length = struct.unpack_from("<HH", data, at + 26)
        save("zip_names", data[at + 30:at + 30 + name_length])
        save("zip_extra_field", data[at + 30 + name_length:at + 30 + name_length + extra_length])
        at = data.find(b"PK\x03\x04", at + 4)
