#!/usr/bin/env python3
"""Writes the benchmark archive: a few thousand files in nested folders,
about 100 MB, part text-like (deflates well) and part random (does not)."""
import random
import sys
import zipfile

path, count = sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 3000
rnd = random.Random(2010)
words = [b"quake", b"arena", b"map", b"rail", b"frag", b"rocket", b"\n", b" "]
with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=6) as z:
    for i in range(count):
        folder = f"mod{i % 20}/sub{i % 7}/" if i % 3 else f"mod{i % 20}/"
        size = rnd.randint(1000, 75000)
        if i % 5 < 4:
            data = rnd.randbytes(size)
        else:
            data = b"".join(rnd.choice(words) for _ in range(size // 4))
        z.writestr(f"{folder}file{i}.dat", data)
