#!/usr/bin/env python3
"""Makes damaged copies of real archives, puts them through the zip layer
under Wine (zip_mutation_run.exe) and prints the figures: archives tried,
results by code, crashes, hangs, files outside the target folder, codes that
are not in zip.h's table.

Every copy is made from a seed, so a run is repeated exactly. With --check
the exit status is 1 when any crash, hang, outside file or unknown code was
seen.

Usage: zip_mutations.py --exe zip_mutation_run.exe --fixtures FOLDER
                        --work FOLDER [--count N] [--seed S] [--seconds S] [--check]
"""
import argparse
import os
import random
import re
import shutil
import struct
import subprocess
import sys
import time
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
WINE_RUN = os.path.join(HERE, "..", "..", "..", "scripts", "wine_run.sh")
CODES = {0: "ok", 0x200: "cannot open file", 0x400: "write failed", 0x700: "corrupt archive",
         0x800: "read failed", 0x1000: "password required", 0x10000: "bad argument",
         0x20000: "unsafe name", 0x80000: "wrong handle kind", 0x5000000: "inflate failed"}


# Fixtures whose entries carry hostile names.
NAMED_ARCHIVES = ("hostile", "names")


class Layout:
    """Where the headers of a well-formed archive lie."""

    def __init__(self, data):
        self.eocd = data.rindex(b"PK\x05\x06")
        self.count, self.cd_size, self.cd_start = struct.unpack_from("<HII", data, self.eocd + 10)
        self.central, self.local, self.data = [], [], []
        at = self.cd_start
        for _ in range(self.count):
            name_len, extra_len, comment_len = struct.unpack_from("<HHH", data, at + 28)
            size = struct.unpack_from("<I", data, at + 20)[0]
            local = struct.unpack_from("<I", data, at + 42)[0]
            local_name, local_extra = struct.unpack_from("<HH", data, local + 26)
            start = min(local + 30 + local_name + local_extra, len(data))
            self.central.append(at)
            self.local.append(local)
            self.data.append((start, min(size, len(data) - start)))
            at += 46 + name_len + extra_len + comment_len


def some_value(rnd, value):
    return rnd.choice([0, 1, max(value - 1, 0), value + 1, value * 2, 0x7FFFFFFF, 0xFFFFFFFF,
                       rnd.randrange(1 << 32)]) & 0xFFFFFFFF


def mutate(data, rnd):
    """A damaged copy of the archive and the name of the damage."""
    out = bytearray(data)
    lay = Layout(data)
    kind = rnd.choice(["truncate", "truncate-header", "flip-header", "flip-data", "size", "count",
                       "offset", "length"])
    entry = rnd.randrange(lay.count) if lay.count else 0
    if kind == "truncate":
        return bytes(out[:rnd.randrange(len(out))]), kind
    if kind == "truncate-header":
        start = rnd.choice([lay.eocd, lay.cd_start, lay.central[entry] if lay.count else lay.eocd,
                            lay.local[entry] if lay.count else 0])
        return bytes(out[:start + rnd.randrange(46)]), kind
    if kind == "flip-header" or (kind == "flip-data" and not any(size for _, size in lay.data)):
        kind = "flip-header"
        start, length = rnd.choice([(lay.eocd, 22)] + [(c, 46) for c in lay.central] +
                                   [(l, 30) for l in lay.local])
        for _ in range(rnd.randint(1, 3)):
            out[start + rnd.randrange(length)] ^= rnd.randint(1, 255)
        return bytes(out), kind
    if kind == "flip-data":
        start, size = rnd.choice([d for d in lay.data if d[1]])
        for _ in range(rnd.randint(1, 8)):
            out[start + rnd.randrange(size)] ^= rnd.randint(1, 255)
        return bytes(out), kind
    if kind == "count":
        field = rnd.choice([8, 10, 12, 16])
        if field in (8, 10):
            struct.pack_into("<H", out, lay.eocd + field, some_value(rnd, lay.count) & 0xFFFF)
        else:
            struct.pack_into("<I", out, lay.eocd + field, some_value(rnd, lay.cd_size))
        return bytes(out), kind
    if not lay.count:
        return bytes(out[:rnd.randrange(len(out))]), "truncate"
    if kind == "size":
        field = rnd.choice([20, 24])  # compressed, uncompressed size in the central header
        value = some_value(rnd, struct.unpack_from("<I", data, lay.central[entry] + field)[0])
        struct.pack_into("<I", out, lay.central[entry] + field, value)
        if rnd.random() < 0.5:  # the local header agrees, so only the data can tell
            struct.pack_into("<I", out, lay.local[entry] + field - 2, value)
        return bytes(out), kind
    if kind == "offset":
        targets = lay.local + [d[0] for d in lay.data] + [len(data), lay.cd_start, rnd.randrange(1 << 32)]
        struct.pack_into("<I", out, lay.central[entry] + 42, rnd.choice(targets))
        return bytes(out), kind
    # length: a name, extra field or comment length of a central or local header
    if rnd.random() < 0.5:
        field = lay.central[entry] + rnd.choice([28, 30, 32])
    else:
        field = lay.local[entry] + rnd.choice([26, 28])
    struct.pack_into("<H", out, field, some_value(rnd, 0) & 0xFFFF)
    return bytes(out), kind


def local_header(name, method, crc, compressed, size):
    return struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 0, method, 0, 0x2821, crc, compressed, size,
                       len(name), 0) + name


def central_header(name, method, crc, compressed, size, offset):
    return struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 0x031E, 20, 0, method, 0, 0x2821, crc,
                       compressed, size, len(name), 0, 0, 0, 0, 0o100644 << 16, offset) + name


def finish(body, central, count):
    return body + central + struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, count, count, len(central),
                                        len(body), 0)


def shared_header_bomb(entries, kernel_size):
    """Every directory entry names the one local header of a deflated kernel."""
    kernel = bytes(kernel_size)
    packer = zlib.compressobj(9, zlib.DEFLATED, -15)
    packed = packer.compress(kernel) + packer.flush()
    crc = zlib.crc32(kernel)
    body = local_header(b"k000", 8, crc, len(packed), len(kernel)) + packed
    central = b"".join(central_header(b"k%03d" % i, 8, crc, len(packed), len(kernel), 0)
                       for i in range(entries))
    return finish(body, central, entries)


def quoted_bomb(entries, kernel_size):
    """Each entry's deflate data quotes the next entry's local header in a
    stored block and goes on into that entry's data, so every entry inflates
    to the whole kernel (overlapping files)."""
    kernel = bytes(kernel_size)
    packer = zlib.compressobj(9, zlib.DEFLATED, -15)
    stream = packer.compress(kernel) + packer.flush()
    output = kernel
    names = [b"q%03d" % i for i in range(entries)]
    blob = b""
    records = []
    for i in reversed(range(entries)):
        header = local_header(names[i], 8, zlib.crc32(output), len(stream), len(output))
        records.append((names[i], zlib.crc32(output), len(stream), len(output)))
        blob = header + stream
        if i:
            quoted = header
            stream = b"\x00" + struct.pack("<HH", len(quoted), len(quoted) ^ 0xFFFF) + quoted + stream
            output = quoted + output
    records.reverse()
    central, offset = b"", 0
    for name, crc, compressed, size in records:
        central += central_header(name, 8, crc, compressed, size, offset)
        offset += 30 + len(name) + 5
    return finish(blob, central, entries)


def make_archives(fixtures, folder, count, seed):
    sources = []
    for name in sorted(os.listdir(fixtures)):
        if not name.endswith(".zip"):
            continue
        data = open(os.path.join(fixtures, name), "rb").read()
        try:
            Layout(data)
        except (ValueError, struct.error):
            continue  # no archive to damage
        sources.append((name[:-4], data))
    rnd = random.Random(seed)
    made = []
    for name, data in [("bomb-shared", shared_header_bomb(50, 2 << 20)), ("bomb-quoted", quoted_bomb(50, 2 << 20))]:
        made.append((name, data))
    # The archives of hostile names go through whole as well.
    for name in NAMED_ARCHIVES:
        made.append(("whole-" + name, open(os.path.join(fixtures, name + ".zip"), "rb").read()))
    for i in range(count):
        source, data = rnd.choice(sources)
        damaged, kind = mutate(data, rnd)
        made.append(("%04d-%s-%s" % (i, source, kind), damaged))
    os.makedirs(folder, exist_ok=True)
    paths = []
    for name, data in made:
        path = os.path.join(folder, name + ".zip")
        with open(path, "wb") as f:
            f.write(data)
        paths.append(path)
    return paths


def windows(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--fixtures", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--count", type=int, default=300)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--seconds", type=int, default=60, help="limit for one archive")
    parser.add_argument("--check", action="store_true")
    args = parser.parse_args()

    shutil.rmtree(args.work, ignore_errors=True)
    paths = make_archives(args.fixtures, os.path.join(args.work, "archives"), args.count, args.seed)
    sandboxes = os.path.join(args.work, "sandboxes")
    os.makedirs(sandboxes)
    listing = os.path.join(args.work, "list.txt")
    with open(listing, "w") as f:
        for i, path in enumerate(paths):
            f.write("%s\t%s\n" % (windows(path), windows(os.path.join(sandboxes, str(i)))))
    report = os.path.join(args.work, "report.txt")
    open(report, "w").close()

    started = time.time()
    first = 0
    while first < len(paths):
        # The program ends itself on a hang; the time limit here only guards
        # against a Wine that does not come back at all.
        limit = (len(paths) - first) * args.seconds + 120
        try:
            subprocess.run([WINE_RUN, args.exe, windows(listing), windows(report), str(first), str(args.seconds)],
                           stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           timeout=limit)
        except subprocess.TimeoutExpired:
            pass
        lines = open(report).read().splitlines()
        if lines and lines[-1] == "end":
            break
        last = max((int(l.split()[1]) for l in lines if l.startswith("start ")), default=first)
        if not any(l.split()[:2] in (["crash", str(last)], ["hang", str(last)]) for l in lines):
            with open(report, "a") as f:
                f.write("crash %d exited\n" % last)
        first = last + 1
    seconds = time.time() - started
    # Each sandbox is removed after its archive; what is left beside them, or
    # anywhere in the Wine drive since the start, was written outside.
    strays = [os.path.join(top, name) for top, folders, files in os.walk(sandboxes) for name in folders + files]
    drive = os.path.join(os.environ.get("WINEPREFIX", ""), "drive_c")
    for top, folders, files in os.walk(drive):
        for name in files:
            path = os.path.join(top, name)
            if os.path.getmtime(path) >= started and not os.path.islink(path):
                strays.append(path)

    lines = open(report).read().splitlines()
    results, opened, done, unknown, outside, written = {}, 0, 0, 0, 0, {}
    crashes = [l for l in lines if l.startswith("crash ")]
    hangs = [l for l in lines if l.startswith("hang ")]
    for line in lines:
        if not line.startswith("done "):
            continue
        done += 1
        fields = dict(f.split("=", 1) for f in line.split()[2:])
        opened += int(fields["open"])
        unknown += int(fields["unknown"])
        outside += int(fields["outside"])
        written[int(line.split()[1])] = int(fields["bytes"])
        for piece in filter(None, fields["codes"].split(",")):
            code, times = piece.split("=")
            results[int(code, 16)] = results.get(int(code, 16), 0) + int(times)

    print("archives tried:        %d (%d opened), %.1f s" % (len(paths), opened, seconds))
    print("results by code (every call):")
    for code in sorted(results):
        print("  %9s  %-18s %7d" % (hex(code), CODES.get(code, "NOT IN THE TABLE"), results[code]))
    print("crashes:               %d" % len(crashes))
    print("hangs:                 %d" % len(hangs))
    print("files outside target:  %d" % (outside + len(strays)))
    print("codes not in table:    %d" % unknown)
    for index, path in enumerate(paths):
        if os.path.basename(path).startswith("bomb"):
            print("%-22s %d bytes written from an archive of %d" % (os.path.basename(path) + ":",
                                                               written.get(index, 0), os.path.getsize(path)))
    named = {int(l.split()[1]): l for l in lines if l.startswith("done ")}
    for index, path in enumerate(paths):
        name = os.path.basename(path)[:-4]
        if name.startswith("whole-") and index in named:
            fields = dict(f.split("=", 1) for f in named[index].split()[2:])
            print("%-22s %s entries: %s refused for their names, %s paths written inside the target, %s outside" % (
                name[len("whole-"):] + ".zip:", fields["entries"], fields["refused"], fields["inside"],
                fields["outside"]))
    for line in crashes + hangs + [l for l in lines if l.startswith("outside ")]:
        index = int(line.split()[1])
        print("  %s (%s)" % (line, os.path.basename(paths[index]) if 0 <= index < len(paths) else "?"))
    for path in strays:
        print("  outside: %s" % path)
    if args.check and (crashes or hangs or outside or strays or unknown or done != len(paths) - len(crashes) - len(hangs)):
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
