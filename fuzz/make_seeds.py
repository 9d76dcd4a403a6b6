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
    # Whole command lines as people type them, so a short run starts from real lengths.
    for settings, args in full_command_lines():
        seeds.append(bytes([settings]) + b"\0".join(a.encode("utf-8", "surrogateescape") for a in args))
    return seeds


def full_command_lines():
    """(settings byte, arguments): long, realistic command lines in every keyword mode."""
    algorithms = ["--md5", "--sha1", "--sha2", "--sha384", "--sha512", "--sha3", "--sha3_384",
                  "--sha3_512", "--blake2s", "--blk2", "--blk3", "--xx64", "--mh3", "--murmurhash3_x86"]
    masks = ["*.EXE", "*.SYS", "*.dll;*.ocx", "readme.*", "[a-c]*.log", "data??.bin", "*.", "*.tar.gz",
             "[!~]*.doc*", "Thumbs.db"]
    every_option = ["-b", "-c", "-p", "-v", "--debug", "--error-delay", "--audible-error", *algorithms,
                    "-s", "-w", "-i", "-z", "-f", "-m", "1,048,576", "-u", "C:\\Logs\\summary of run.txt",
                    "-o", "C:\\Logs\\digests (all).txt", "-a", "-t", "-e", "C:\\Lists\\SkipThese.TXT",
                    "-r", "-d", "F:\\Program Files\\That Folder\\", *masks]
    deep = "/".join(f"level{k:02}-Ordner" for k in range(24))
    files = [f"/var/log/archive/2024-{m:02}/service-{m * 7 % 13}.log" for m in range(1, 13)]
    many_files = [f"C:\\Users\\Jane\\Documents\\Projekt {k:03}\\Entwurf ({k % 7}).docx" for k in range(60)]
    return [
        (0x02, every_option),
        (0x03, ["/b", "/c", "/o:out file.txt", "/a", "/u=summary.txt", "/e:exclusions list.txt",
                "/m=200,000,000", "/z", "/i", "/f", "/@", "/r", "/d:/home/user/some folder/", *masks]),
        (0x02, ["--sha2", "--blk3", "-k", "C:\\Images\\first disc (2019).iso",
                "D:\\Backup\\second disc (2019).iso", "-b", "-o", "compare.txt", "-a", "-t"]),
        (0x02, ["-l", "--all", "-s", "-o", "digests.txt", "-t", "file one.txt", "file two.bin", *files]),
        (0x02, ["--sha512", "--blk3", "-c", "-z", "-o", "C:\\Logs\\documents.txt", "-a", *many_files]),
        (0x02, ["--sha1", "-m", "4,294,967,296", "-e", "/srv/lists/skip.txt", "-r", "-d", "/srv/" + deep,
                "*.jpg", "*.jpeg", "*.png", "*.heic", "*.mov", "*.mp4", "[0-9][0-9][0-9][0-9]-*.raw"]),
        (0x02, ["-d", "first", "-d", "second", "-e", "x.txt", "-e", "y.txt", "-o", "p.txt", "-o", "q.txt",
                "-m", "5", "-m", "lots", "-k", "only-one", "--bogus", "-zz", "/?", "--", "-", "",
                "\"quoted arg\"", "-u", "--md5", "-o:", "-e=", "/d:", "--dir=", "-m:1.5e3"]),
        (0x06, ["-5", "-1", "-r", "-d", "C:\\Data", "--md5", "--sha1", "--rdir", "--dir", "C:\\Data",
                "/out", "x.txt", "--out:y.txt", "--exc=exc.txt", "--maxsize", "1,000", *masks]),
        (0x01, ["@", "?", "??", "-@", "/@", "-?", "/??", "--h2", "-help2", "-build", "--version-only",
                "--build-only", "--info", "-v", "--verbose", "-b", "--banner", "x", "y", "z"]),
        (0x02, ["--blake2b", "--blake3", "--xxhash64", "--murmurhash3_x64_128", "-p", "-w", "-r", "-d",
                "/données/Grüße/ΑΒΓ/Привет/日本語/", "*.tëxt", "Ärger*.doc", "\udcff\udcfe*.bin",
                "straße?.md", "-e", "/données/ausnahmen.txt", "-u", "/données/Zusammenfassung.txt"]),
        (0x02, ["-n", "-r", "-z", "-c", "-d", ".", "-f", "-i", "-w", "-s", "-m", "0", "-o", "-a",
                "nohash.txt", "-u", "sum.txt", "-t", "*", "*.*", "*.txt", "*.TXT", "**", "?", "[]", "[!]",
                "[a-", "*;;*", " *.exe"]),
    ]


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
    # Whole lists as people keep them, in every encoding and line end, handed over in pieces of
    # several sizes, so a short run starts from real lengths; the last is near the longest input.
    lines = full_exclusion_lines()
    longer = lines + [f"{line} {k}" for k in range(4) for line in lines if line]
    lists = [
        (0, 0, "\n", "utf-8", lines, "C:\\Users\\Jane\\AppData\\Local\\Microsoft\\Windows\\INetCache\\IE\\page[1].htm"),
        (0, 1, "\r\n", "utf-8", lines, "/home/user/projects/tarvolin/.git/objects/ab/cdef0123456789"),
        (3, 2, "\r", "utf-8", lines, "/data/Grüße/ÄRGER.doc"),
        (1, 5, "\r\n", "utf-16-le", lines, "D:\\Fotos\\ΣΊΣΥΦΟΣ\\Straße 7\\IMG_0001.JPG"),
        (2, 62, "\n", "utf-16-be", lines, "/srv/Привет/日本語のフォルダ/file.txt"),
        (4, 254, "\r\n", "utf-8", lines, "/var/lib/docker/overlay2/abc/merged/usr/share/doc/readme"),
        (0, 30, "\n", "utf-8", longer, "/home/user/Grüße/ÄRGER 3/straße 2/ΣΊΣΥΦΟΣ 1/file"),
    ]
    for k, (mark, piece, end, encoding, chosen, path) in enumerate(lists):
        # Line ends mixed in: every fifth line ends the other usual way.
        other = "\r\n" if end == "\n" else "\n"
        text = "".join(line + (end if i % 5 else other) for i, line in enumerate(chosen[k:] + chosen[:k]))
        body = text.encode(encoding)
        if mark == 4:
            body += b"\xc3\n\xed\xa0\x80\n\xf0\x9f\x98\n\x80\x80\n\xff\xfe\xfd"  # broken UTF-8
        encoded = path.encode()
        seeds.append(bytes([mark, piece, len(encoded)]) + encoded + body)
    return seeds


def full_exclusion_lines():
    """A realistic exclusion list: folders, names and fragments, mixed case and scripts."""
    return [
        "C:\\Windows\\Temp\\", "\\AppData\\Local\\Microsoft\\Windows\\INetCache\\",
        "\\AppData\\Local\\Temp\\", "$RECYCLE.BIN", "System Volume Information", "pagefile.sys",
        "hiberfil.sys", "swapfile.sys", "Thumbs.db", "desktop.ini", "~$", ".tmp", ".BAK", ".swp", "",
        "/proc/", "/sys/", "/dev/", "/run/", "/home/user/.cache/", "/.git/", "node_modules/",
        "__pycache__", ".DS_Store", "/var/lib/docker/overlay2/", "/tmp/", "", "", "Grüße", "ÄRGER",
        "straße", "ΣΊΣΥΦΟΣ", "ωμέγα", "Привет", "日本語のフォルダ", "😀 emoji", "ǅ titlecase", "ﬁle ligature",
        "ı dotless", "İstanbul", "µ micro", "ſ long s", "ǰ", "ΐ", "  leading blanks", "trailing blanks  ",
        "tab\there", "a", "Z", "/", "\\", ".", "*.exe", "[abc]", "?", "100%", "C:", "\\\\server\\share\\",
        "Program Files (x86)", "Very Long Folder Name That Goes On And On Without Any End In Sight",
    ]


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


def listing():
    md5 = "900150983cd24fb0d6963f7d28e17f72"
    sha1 = "a9993e364706816aba3e25717850c26c9cd0d89d"
    sha256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"
    denied = ":::DENIED" + ":" * 55
    lines = [
        f"{sha256} ?SHA256*a", f"{md5} *a", f"{md5}{' ' * 96} *a", f"{sha1}{' ' * 88} ?SHA1*a b",
        f"{sha256} a", f"{{           3}} {sha256} ?SHA256*a", f"SHA2_256: {sha256} ?SHA256*a",
        "\"12/08/2026 04:35 PM\" ?NOHASH*a", f"{denied} ?SHA256*a", f"\\{sha256} ?SHA256*a\\nb\\\\c",
        f"{md5}  *star (1) = x ", f"{md5}   lead", f"SHA256 (a (1) = b) = {sha256}",
        f"BLAKE2b-512 (-dash) = {'0f' * 64}", f"MD5(a)= {md5.upper()}\r", f"\\SHA1 (a\\rb) = {sha1}",
        f"MD5: {{          -1}} {md5}{' ' * 96} *a", "# comment",
    ]
    seeds = [line.encode() for line in lines]
    seeds.append(b"\xef\xbb\xbf" + f"{md5}  a".encode())
    return seeds


if __name__ == "__main__":
    write("cmdline", cmdline())
    write("cmdline", cmdline_slow(), ROOT.parent / "corpus-slow")
    write("masks", masks())
    write("exclusions", exclusions())
    write("engines", engines())
    write("listing", listing())
