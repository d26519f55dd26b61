#!/usr/bin/env python3
"""Writes the archives that the install run tests serve, into the given folder.
Their contents follow rules the tests know, so the tests compare the
installed files without copies of them here."""
import os
import struct
import sys
import zipfile

out = sys.argv[1]
os.makedirs(out, exist_ok=True)


def write(name, entries, method=zipfile.ZIP_DEFLATED, mark_folders=True):
    path = os.path.join(out, name)
    with zipfile.ZipFile(path, "w", method) as archive:
        for entry, data in entries:
            info = zipfile.ZipInfo(entry, (2010, 1, 1, 12, 0, 0))
            info.compress_type = method
            if entry.endswith("/") and mark_folders:
                info.external_attr = 0o40755 << 16 | 0x10  # a folder, as zip tools mark one
            archive.writestr(info, data)
    return path


# A small mod: nested folders, a folder entry, an empty file.
write("mod.zip", [
    ("readme.txt", b"Read me.\n"),
    ("maps/q3dm1.bsp", bytes(range(256)) * 40),
    ("demos/", b""),
    ("empty.cfg", b""),
])

# One entry in a folder of its own.
write("box.zip", [("box/inside.txt", b"inside\n")])

# Many entries, for stopping half way: "part<i % 7>/file<i>.dat" holds
# "file <i>\n" i + 1 times.
write("many.zip", [(f"part{i % 7}/file{i}.dat", b"file %d\n" % i * (i + 1)) for i in range(300)])

# Three entries; the deflated data of the second is damaged.
path = write("broken.zip", [
    ("first.txt", b"first\n" * 100),
    ("second.txt", b"second\n" * 1000),
    ("third.txt", b"third\n" * 100),
])
with zipfile.ZipFile(path) as archive:
    second = archive.getinfo("second.txt")
with open(path, "r+b") as handle:
    handle.seek(second.header_offset + 26)
    name_length, extra_length = struct.unpack("<HH", handle.read(4))
    handle.seek(second.header_offset + 30 + name_length + extra_length + 4)
    handle.write(b"\xff" * 8)

# A sound entry and one whose name leads out of the folder it is unpacked into.
write("escape.zip", [("kept.txt", b"kept\n"), ("../escaped.txt", b"out\n")])

# Folder entries without a folder attribute, as Java and .NET tools write them.
write("unmarked.zip", [("docs/", b""), ("docs/notes/", b""), ("docs/notes/a.txt", b"a\n")], mark_folders=False)

# Entries of no bytes only, and a file that only has the name of an archive.
write("hollow.zip", [("hollow/a.txt", b""), ("hollow/b.txt", b"")])
with open(os.path.join(out, "notazip.zip"), "wb") as handle:
    handle.write(b"This is no zip archive.\n" * 20)
