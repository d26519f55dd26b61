#!/usr/bin/env python3
"""Writes the zip archives that the zip layer tests read, into the given folder.

Well-formed archives come from Python's zipfile (and Info-ZIP zip for the
encrypted one); damaged ones are well-formed ones with bytes changed at the
offsets the zip format defines.  The contents that the tests compare against
are written beside them under originals/.
"""
import os
import random
import struct
import subprocess
import sys
import tempfile
import zipfile
import zlib

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "mutation"))
from zip_mutations import quoted_bomb, shared_header_bomb  # noqa: E402

out = sys.argv[1]
os.makedirs(os.path.join(out, "originals"), exist_ok=True)

UNIX, DOS = 3, 0
UNIX_2010 = 1262304000  # 2010-01-01 00:00:00 UTC
STAMP_2000 = (2000, 6, 15, 12, 0, 0)


def content(key, size, compressible=True):
    rnd = random.Random(key)
    if compressible:
        words = [b"quake", b"arena", b"map", b"rail", b"frag", b"\n", b" "]
        data = b"".join(rnd.choice(words) for _ in range(size // 3 + 1))[:size]
    else:
        data = rnd.randbytes(size)
    with open(os.path.join(out, "originals", key), "wb") as f:
        f.write(data)
    return data


def entry(name, system=UNIX, mode=0o100644, dos=0, date=STAMP_2000, extra=b"",
          method=zipfile.ZIP_DEFLATED):
    info = zipfile.ZipInfo(name, date_time=date)
    info.create_system = system
    info.external_attr = (mode << 16) | dos if system == UNIX else dos
    info.extra = extra
    info.compress_type = method
    return info


def ut(flags, *times, size=None):
    data = bytes([flags]) + b"".join(struct.pack("<i", t) for t in times)
    return b"UT" + struct.pack("<H", len(data) if size is None else size) + data


def write(name, entries):
    path = os.path.join(out, name)
    with zipfile.ZipFile(path, "w") as z:
        for info, data in entries:
            z.writestr(info, data)
    return path


def patch(path, offset, fmt, *values):
    with open(path, "r+b") as f:
        f.seek(offset)
        f.write(struct.pack(fmt, *values))


def headers(path):
    """(local header offset, central header offset) of each entry, in order."""
    data = open(path, "rb").read()
    eocd = data.rindex(b"PK\x05\x06")
    count, _, start = struct.unpack_from("<HII", data, eocd + 10)
    result = []
    at = start
    for _ in range(count):
        name_len, extra_len, comment_len = struct.unpack_from("<HHH", data, at + 28)
        local = struct.unpack_from("<I", data, at + 42)[0]
        result.append((local, at))
        at += 46 + name_len + extra_len + comment_len
    return result, eocd


# Plain contents: stored, deflated over many copy pieces, empty, folders.
write("basic.zip", [
    (entry("stored.txt", method=zipfile.ZIP_STORED), content("stored.txt", 1000)),
    (entry("deflated.bin"), content("deflated.bin", 200000)),
    (entry("random.bin"), content("random.bin", 70000, compressible=False)),
    (entry("empty.txt"), b""),
    (entry("folder/", mode=0o40755), b""),
    (entry("nested/deeper/file.txt"), content("file.txt", 5000)),
])

# Attributes by host system.
write("hosts.zip", [
    (entry("unixdir/", mode=0o40755), b""),
    (entry("unix644.txt", mode=0o100644), b"644"),
    (entry("unix444.txt", mode=0o100444), b"444"),
    (entry("dos21.txt", system=DOS, dos=0x21), b"dos"),
    (entry("dos26.txt", system=DOS, dos=0x26), b"hidden system"),
    (entry("dosdir/", system=DOS, dos=0x10), b""),
    (entry("notdir/", system=DOS, dos=0x20), b""),
])

# Times: the DOS stamp and the "UT" records of the local extra field.
other = struct.pack("<HH", 0x1234, 300) + bytes(300)
write("times.zip", [
    (entry("dos2010.txt", date=(2010, 1, 1, 0, 0, 0)), b"a"),
    (entry("ut1.txt", extra=ut(1, UNIX_2010)), b"b"),
    (entry("ut7.txt", extra=ut(7, UNIX_2010, UNIX_2010 + 60, UNIX_2010 + 3600)), b"c"),
    (entry("ut_twice.txt", extra=ut(1, UNIX_2010) + ut(1, UNIX_2010 + 86400)), b"d"),
    (entry("ut_after_other.txt", extra=other + ut(1, UNIX_2010)), b"e"),
    (entry("ut_short.txt", extra=ut(7, UNIX_2010, size=5)), b"f"),
    (entry("ut_cut.txt", extra=ut(3, UNIX_2010) + b"UT\x09\x00\x07"), b"g"),
    (entry("bad_stamp.txt", date=(1980, 0, 0, 0, 0, 0)), b"h"),
])

# Names: drive prefixes, leading separators, ".." parts, long names.
write("names.zip", [
    (entry("C:\\dir\\drive.txt"), b"drive"),
    (entry("/abs/lead.txt"), b"lead"),
    (entry("x/y/../up.txt"), b"up"),
    (entry("../escape1.txt"), b"escape"),
    (entry("a/../../escape2.txt"), b"escape"),
    (entry("/../escape3.txt"), b"escape"),
    (entry("n" * 259), b"long"),
    (entry("n" * 300), b"too long"),
])

# Hostile names; each entry holds its own name, so that a test can tell which
# one was written where.
hostile = [
    "..", "..\\", "/abs", "C:\\x", "\\\\server\\share\\x", "CON", "aux.txt", "NUL", "Con .txt",
    "maps/com1.bsp", "lpt1/", "file.txt:stream", "\\\\?\\C:\\x", "a<b>.txt", "n" * 300, "readme.txt.",
    "folder. /notes.txt ", "...", "dir/..", ". ./x",
]
write("hostile.zip", [
    (entry(name, mode=0o40755 if name.endswith("/") else 0o100644), name.encode()) for name in hostile])

# Methods that the layer does not read.
write("methods.zip", [
    (entry("bzip2.txt", method=zipfile.ZIP_BZIP2), content("bzip2.txt", 3000)),
    (entry("lzma.txt", method=zipfile.ZIP_LZMA), content("lzma.txt", 3000)),
    (entry("fine.txt"), b"fine"),
])

# Deflate data cut in half: a stored entry of half a raw deflate stream,
# then marked as deflated with the full size.
whole = content("truncated.bin", 300000, compressible=False)
packer = zlib.compressobj(9, zlib.DEFLATED, -15)
stream = packer.compress(whole) + packer.flush()
path = write("truncated.zip", [(entry("truncated.bin", method=zipfile.ZIP_STORED), stream[:len(stream) // 2])])
(local, central), = headers(path)[0]
for at in (local + 8, central + 10):
    patch(path, at, "<H", 8)
patch(path, local + 22, "<I", len(whole))
patch(path, central + 24, "<I", len(whole))

# A stored entry whose data no longer matches its CRC-32.
path = write("badcrc.zip", [(entry("badcrc.txt", method=zipfile.ZIP_STORED), content("badcrc.txt", 4000))])
(local, _), = headers(path)[0]
patch(path, local + 30 + len("badcrc.txt") + 100, "<B", 0xFF)

# Local headers that disagree with the central directory, an extra field that
# runs past the end of the file, and a directory that promises more entries
# than it holds.
path = write("mismatch.zip", [
    (entry("method.txt"), b"method"),
    (entry("crc.txt"), b"crc"),
    (entry("namelength.txt"), b"name"),
    (entry("good.txt"), b"good"),
    (entry("extra.txt"), b"extra"),
])
(m, _), (c, _), (n, _), _, (e, _) = headers(path)[0]
patch(path, m + 8, "<H", 0)
patch(path, c + 14, "<I", 0x12345678)
patch(path, n + 26, "<H", 3)
patch(path, e + 28, "<H", 0xFFF0)

path = write("overcount.zip", [(entry("one.txt"), b"1"), (entry("two.txt"), b"2"), (entry("three.txt"), b"3")])
eocd = headers(path)[1]
patch(path, eocd + 8, "<HH", 5, 5)

# Entries that share their data: three directory entries naming one local
# header, and three whose data each runs on into the next one's.
for name, data in (("overlap_shared.zip", shared_header_bomb(3, 100000)),
                   ("overlap_quoted.zip", quoted_bomb(3, 100000))):
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)

# Encrypted with the traditional scheme, by Info-ZIP zip.  The random header
# is made again until "wrong" fails the check byte, so that test is certain.
with tempfile.TemporaryDirectory() as work:
    with open(os.path.join(work, "secret.txt"), "wb") as f:
        f.write(content("secret.txt", 20000))
    path = os.path.abspath(os.path.join(out, "encrypted.zip"))
    while True:
        if os.path.exists(path):
            os.remove(path)
        subprocess.run(["zip", "-q", "-P", "tavrin", path, "secret.txt"], cwd=work, check=True)
        try:
            zipfile.ZipFile(path).read("secret.txt", pwd=b"wrong")
        except RuntimeError:
            break
        except Exception:
            pass

with open(os.path.join(out, "notzip.zip"), "wb") as f:
    f.write(b"This is a text file, not an archive.\n" * 10)
open(os.path.join(out, "zero.zip"), "wb").close()
