#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into fuzz/corpus/<target>/ (kept in the repository),
and into fuzz/corpus-slow/<target>/ those too slow to fuzz, which are only replayed as tests.

Each seed follows its target's input layout (see the comment at the top of <target>_fuzz.cpp).
Run it again after changing a layout; the files are small and deterministic.
"""
import hashlib
import pathlib
import struct

ROOT = pathlib.Path(__file__).resolve().parent / "corpus"


def write(target, seeds, root=ROOT):
    folder = root / target
    folder.mkdir(parents=True, exist_ok=True)
    for old in folder.iterdir():
        old.unlink()
    for data in seeds:
        name = hashlib.sha1(data).hexdigest()[:16]
        (folder / f"seed-{name}").write_bytes(data)


def cmdline():
    lines = [
        ["-d", "t", "*.txt"], ["-5", "-r", "-d", "C", "*.txt"], ["-k", "a", "b"], ["-k", "a", "-x"],
        ["-k", "a"], ["-o", "-a"], ["-o:x.txt", "-a"], ["/out=x y.txt"], ["--audible-error", "file.txt"],
        ["-m", "200,000,000", "-d", "."], ["-m", "1.5"], ["-h"], ["--help2"], ["-HELP"], ["/help"],
        ["@"], ["-@"], ["/@"], ["-e", "exc.txt", "-d", ".."], ["-u"], ["-b", "-b"], ["-n", "x.txt"],
        ["--version-only", "--info"], ["-d", "t", "-r", "a b", "", "\"q\""], ["abc", "b", "ABC", "a"],
        ["-d", "/", "[a-"], ["-o"], ["--all", "-p", "-s", "-i", "-f", "-z", "-c", "-w", "-t", "-l"],
        ["--sha3_512", "--blake2s", "--blk2", "--blk3", "--xx64", "--mh3", "--murmurhash3_x86"],
        ["-d", "a/../b/./c", "-e", "", "-u", "s.txt"],
    ]
    seeds = [b"\x02" + b"\0".join(a.encode() for a in args) for args in lines]
    seeds.append(b"\x00" + b"\0".join([b"@", b"-@", b"--h"]))
    seeds.append(b"\x07" + b"\0".join([b"@", b"--help", b"-help"]))
    return seeds


def cmdline_slow():
    # Repeated lists, beyond the 16-bit counters: too slow to fuzz, replayed as tests.
    return [
        b"\xaa\x55" + struct.pack(">H", 0x4000) + b"\0".join([b"a", b"-b", b"abc", b"x y"]),
        b"\xaa\x55" + struct.pack(">H", 0xFFFF) + b"i",
    ]


def masks():
    pairs = [
        ("*.DLL", "x.dll"), ("*.DLL", "X.DLL"), ("[a-c]x", "Bx"), ("[!a-c]x", "dx"),
        ("readme.*", "README"), ("readme.*", "readme.md"), ("abc.", "abc"), ("abc.", "abc.txt"),
        ("*.", ".profile"), ("a?c", "aäc"), ("[a-c-e]", "d"), ("***", ""), ("a*b*c", "aXbYc"),
        ("*.dll;;*.exe;", "x.exe"), (" *.exe", "x.exe"), ("µ*", "ΜS"), ("*ſ*", "S"),
        ("[ä]", "a"), ("[-a]", "a"), ("[a-", "a"), ("[]", "a"), ("[!]", "a"), ("*.*", "a.b.c"),
        ("data*.*", "database"), ("*a*a*a*a*a*b", "a" * 60), ("[Z-a]", "_"), ("?", "\xff"),
    ]
    seeds = []
    for k, (mask, name) in enumerate(pairs):
        seeds.append(bytes([k & 1, ord(";")]) + mask.encode() + b"\0" + name.encode())
    seeds.append(b"\x00;" + b"*\xff*\0a\xffb")
    seeds.append(b"\x00\xc3" + "*.txt\xc3*.log".encode("latin-1") + b"\0x.log")
    return seeds


def exclusions():
    bodies = [
        (0, "/data/Temp/a.txt", "temp\r\nSUB/\n\nattempt".encode()),
        (1, "/data/Grüße/g.txt", "GRÜ\r\nx".encode("utf-16-le")),
        (2, "/data/Grüße/g.txt", "grü\nΣ".encode("utf-16-be")),
        (3, "/data/ärger.doc", "ÄRGER\r".encode()),
        (0, "/data/x", b"\xff\xfe\x3d\xd8\x00\xde\x00\xd8\n\x00"),
        (1, "/x", b"\x00\xdc\x00\xd8a"),
        (0, "/plain", b"a\rb\r\nc\n\rd"),
        (4, "/raw\xff", b"\xef\xbb\xbf\xc3"),
    ]
    seeds = []
    for k, (mark, path, body) in enumerate(bodies):
        encoded = path.encode("utf-8", "surrogateescape") if "\xff" not in path else path.encode("latin-1")
        # Pieces of one to three bytes: ends inside marks, code units and CR LF.
        seeds.append(bytes([mark, k % 3, len(encoded)]) + encoded + body)
    return seeds


def engines():
    seeds = []
    message = bytes((i * 37 + 11) & 0xFF for i in range(300))
    splits = [1, 63, 64, 65, 127, 128, 129, 3]
    split_bytes = bytes([len(splits)]) + b"".join(struct.pack(">H", s) for s in splits)
    for which in range(14):
        seeds.append(bytes([which, 32, 0]) + bytes([0]) + message[:which * 7])
        seeds.append(bytes([which | 0x60, 20, 8]) + b"keykeyke" + split_bytes + message)
    key32 = bytes(range(32))
    seeds.append(bytes([10 | 0x60, 31, 32]) + key32 + split_bytes + message)
    big = bytes((i * 7) & 0xFF for i in range(17 * 1024 + 5))
    seeds.append(bytes([10 | 0x40, 0, 0, 3]) + struct.pack(">HHH", 1024, 4096, 5) + big)
    seeds.append(bytes([9 | 0x60, 63, 64]) + bytes(64) + split_bytes + message)
    return seeds


if __name__ == "__main__":
    write("cmdline", cmdline())
    write("cmdline", cmdline_slow(), ROOT.parent / "corpus-slow")
    write("masks", masks())
    write("exclusions", exclusions())
    write("engines", engines())
