#!/usr/bin/env python3
"""Times tarvolin against peer tools on one large file, alternating the tools in each round, and
prints median wall times with the ratio tarvolin / best peer. Also prints each engine's in-memory
and from-file throughput (tarvolin_bench)."""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time

ALGORITHMS = [
    # name, tarvolin switch, peers: (label, command)
    ("MD5", "--md5", [("md5sum", ["md5sum"]), ("openssl", ["openssl", "dgst", "-md5"])]),
    ("SHA1", "--sha1", [("sha1sum", ["sha1sum"]), ("openssl", ["openssl", "dgst", "-sha1"])]),
    ("SHA2_256", "--sha256", [("sha256sum", ["sha256sum"]), ("openssl", ["openssl", "dgst", "-sha256"])]),
    ("SHA2_384", "--sha384", [("sha384sum", ["sha384sum"]), ("openssl", ["openssl", "dgst", "-sha384"])]),
    ("SHA2_512", "--sha512", [("sha512sum", ["sha512sum"]), ("openssl", ["openssl", "dgst", "-sha512"])]),
    ("SHA3_256", "--sha3_256", [("openssl", ["openssl", "dgst", "-sha3-256"])]),
    ("SHA3_384", "--sha3_384", [("openssl", ["openssl", "dgst", "-sha3-384"])]),
    ("SHA3_512", "--sha3_512", [("openssl", ["openssl", "dgst", "-sha3-512"])]),
    ("Blake2S", "--blake2s", [("openssl", ["openssl", "dgst", "-blake2s256"])]),
    ("Blake2B", "--blake2b", [("b2sum", ["b2sum"]), ("openssl", ["openssl", "dgst", "-blake2b512"])]),
    ("Blake3", "--blake3", [("b3sum", ["b3sum", "--num-threads", "1", "--no-mmap"])]),
    ("XXHash64", "--xxhash64", [("xxhsum", ["xxhsum", "-H1"])]),
    ("MurmurHash3_x86_128", "--murmurhash3_x86", []),
    ("MurmurHash3_x64_128", "--murmurhash3_x64", []),
]


def make_file(path, size_mib):
    if os.path.exists(path) and os.path.getsize(path) == size_mib << 20:
        return
    with open(path, "wb") as out:
        for _ in range(size_mib):
            out.write(os.urandom(1 << 20))


def timed(command):
    start = time.perf_counter()
    subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True,
                   shell=isinstance(command, str))
    return time.perf_counter() - start


def make_tree(root, small_files, large_files, large_mib):
    """small_files random files of 0..16 KiB in folders of 100, plus large_files of large_mib."""
    marker = os.path.join(root, ".complete-%d-%d-%d" % (small_files, large_files, large_mib))
    if os.path.exists(marker):
        return
    shutil.rmtree(root, ignore_errors=True)
    os.makedirs(root)
    for i in range(small_files):
        folder = os.path.join(root, "d%03d" % (i // 100))
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "f%05d.dat" % i), "wb") as out:
            out.write(os.urandom(int.from_bytes(os.urandom(2), "little") % 16384))
    for i in range(large_files):
        with open(os.path.join(root, "large%02d.bin" % i), "wb") as out:
            for _ in range(large_mib):
                out.write(os.urandom(1 << 20))
    open(marker, "w").close()


def warm(path):
    subprocess.run("find '%s' -type f -print0 | xargs -0 cat > /dev/null" % path, shell=True, check=True)


def compare(name, commands, runs):
    """commands: list of (label, command); the first is tarvolin's."""
    times = {label: [] for label, _ in commands}
    for _ in range(runs):
        for label, cmd in commands:
            times[label].append(timed(cmd))
    medians = {label: statistics.median(values) for label, values in times.items()}
    ours = medians.pop(commands[0][0])
    if medians:
        best = min(medians, key=medians.get)
        print("%-20s %9.3f  %-12s %9.3f %7.2f  %s" % (
            name, ours, best, medians[best], ours / medians[best],
            ", ".join("%s %.3f" % item for item in medians.items())))
    else:
        print("%-20s %9.3f  %-12s %9s %7s" % (name, ours, "-", "-", "-"))
    sys.stdout.flush()
    return ours


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build/release")
    parser.add_argument("--size-mib", type=int, default=1024)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--only", default="")
    parser.add_argument("--skip-kernels", action="store_true")
    parser.add_argument("--skip-trees", action="store_true")
    parser.add_argument("--skip-all", action="store_true")
    parser.add_argument("--skip-check", action="store_true")
    parser.add_argument("--skip-scaling", action="store_true")
    args = parser.parse_args()

    tarvolin = os.path.join(args.build, "tarvolin")
    data_dir = os.path.join(args.build, "bench-data")
    os.makedirs(data_dir, exist_ok=True)
    big = os.path.join(data_dir, "random-%dmib.bin" % args.size_mib)
    make_file(big, args.size_mib)
    subprocess.run(["cat", big], stdout=subprocess.DEVNULL, check=True)  # into the page cache

    if not args.skip_kernels:
        print("== Engine throughput (single thread)")
        command = [os.path.join(args.build, "tarvolin_bench"), "--file", big]
        if args.only:
            command += ["--only", args.only]
        subprocess.run(command, check=True)
        print()

    print("== Whole tool on a %d MiB file in page cache, one thread: median of %d runs, seconds" %
          (args.size_mib, args.runs))
    print("%-20s %9s  %-12s %9s %7s  %s" % ("algorithm", "tarvolin", "best peer", "peer", "ratio", "all peers"))
    singles = {}
    for name, switch, peers in ALGORITHMS:
        if args.only and args.only != name:
            continue
        commands = [("tarvolin", [tarvolin, "-j", "1", switch, big])]
        commands += [(label, cmd + [big]) for label, cmd in peers if shutil.which(cmd[0])]
        singles[name] = compare(name, commands, args.runs)
        if not [1 for label, cmd in peers if shutil.which(cmd[0])]:
            print("%-20s %9s  (%.2f GB/s whole process)" % ("", "", (args.size_mib << 20) / singles[name] / 1e9))

    if not args.only or args.only == "Blake3":
        print()
        print("== Every thread: BLAKE3 on the same file, both tools with their defaults")
        commands = [("tarvolin", [tarvolin, "--blake3", big])]
        if shutil.which("b3sum"):
            commands.append(("b3sum", ["b3sum", big]))
        compare("Blake3 (threads)", commands, args.runs)

    if not args.skip_all and not args.only:
        read = statistics.median(timed(["dd", "if=" + big, "of=/dev/null", "bs=64k"]) for _ in range(args.runs))
        all_time = statistics.median(timed([tarvolin, "-j", "1", "--all", big]) for _ in range(args.runs))
        budget = sum(singles.values()) - 13 * read
        print()
        print("== -j 1 --all on the same file: %.3f s; the fourteen single runs minus thirteen reads "
              "(read %.3f s): %.3f s; ratio %.2f" % (all_time, read, budget, all_time / budget))

    if not args.skip_trees:
        tree = os.path.join(data_dir, "tree")
        print()
        print("== Trees in page cache, SHA2_256, median of %d runs, seconds" % args.runs)
        print("%-20s %9s  %-12s %9s %7s  %s" % ("tree", "tarvolin", "best peer", "peer", "ratio", "all peers"))
        cases = [("20000 small files", os.path.join(data_dir, "tree-small"), 20000, 0, 0),
                 ("20 x 50 MiB files", os.path.join(data_dir, "tree-large"), 0, 20, 50)]
        for label, root, small, large, mib in cases:
            make_tree(root, small, large, mib)
            warm(root)
            commands = [("tarvolin", [tarvolin, "--sha256", "-r", "-d", root])]
            if shutil.which("rhash"):
                commands.append(("rhash", ["rhash", "--sha256", "-r", root]))
            if shutil.which("hashdeep"):
                commands.append(("hashdeep", ["hashdeep", "-j0", "-c", "sha256", "-r", root]))
            commands.append(("find|sha256sum", "find '%s' -type f -print0 | xargs -0 sha256sum" % root))
            commands.append(("find|openssl", "find '%s' -type f -print0 | xargs -0 openssl dgst -sha256" % root))
            cores = os.cpu_count() or 1
            commands.append(("xargs-P|sha256sum",
                             "find '%s' -type f -print0 | xargs -0 -n 500 -P %d sha256sum" % (root, cores)))
            commands.append(("xargs-P|openssl",
                             "find '%s' -type f -print0 | xargs -0 -n 500 -P %d openssl dgst -sha256" % (root, cores)))
            compare(label, commands, args.runs)

    if not args.skip_check:
        check_listings(tarvolin, data_dir, big, args.runs)

    if not args.skip_scaling:
        scaling(tarvolin, data_dir, big, args.runs)


def scaling(tarvolin, data_dir, big, runs):
    """Median wall time at 1, 2, 4 and 8 threads (as many as the machine has), and the speed-up
    against one thread, for the workloads threads are for."""
    cores = os.cpu_count() or 1
    counts = [n for n in (1, 2, 4, 8) if n <= cores]
    workloads = [
        ("20000 small files", ["--sha256", "-r", "-d", os.path.join(data_dir, "tree-small")]),
        ("20 x 50 MiB files", ["--sha256", "-r", "-d", os.path.join(data_dir, "tree-large")]),
        ("1 file, Blake3", ["--blake3", big]),
        ("1 file, --all", ["--all", big]),
    ]
    print()
    print("== Scaling, median of %d runs, seconds (speed-up against -j 1)" % runs)
    print("%-20s " % "workload" + " ".join("%15s" % ("-j %d" % n) for n in counts))
    for label, arguments in workloads:
        if not os.path.exists(arguments[-1]):
            continue
        times = {n: [] for n in counts}
        for _ in range(runs):
            for n in counts:
                times[n].append(timed([tarvolin, "-j", str(n)] + arguments))
        medians = {n: statistics.median(times[n]) for n in counts}
        print("%-20s " % label + " ".join("%8.3f (%4.2fx)" % (medians[n], medians[1] / medians[n])
                                          for n in counts))
        sys.stdout.flush()


def check_listings(tarvolin, data_dir, big, runs):
    """--check against sha256sum -c on the same listing, and checking one large file against
    hashing it."""
    print()
    print("== Check, SHA2_256 listings in page cache, median of %d runs, seconds" % runs)
    print("%-20s %9s  %-12s %9s %7s  %s" % ("listing", "tarvolin", "best peer", "peer", "ratio", "all peers"))
    root = os.path.join(data_dir, "tree-small")
    make_tree(root, 20000, 0, 0)
    listing = os.path.join(root, "SHA256SUMS")
    if not os.path.exists(listing):
        subprocess.run("cd '%s' && find . -name '*.dat' -print0 | sort -z | xargs -0 sha256sum > SHA256SUMS"
                       % root, shell=True, check=True)
    warm(root)
    compare("20000 small files", [
        ("tarvolin", [tarvolin, "--check", listing]),
        ("sha256sum -c", "cd '%s' && sha256sum -c --quiet SHA256SUMS" % root)], runs)
    folder, name = os.path.split(big)
    big_listing = os.path.abspath(big + ".sha256")
    subprocess.run("cd '%s' && sha256sum '%s' > '%s'" % (folder, name, big_listing), shell=True, check=True)
    compare("one %d MiB file" % (os.path.getsize(big) >> 20), [
        ("tarvolin", [tarvolin, "--check", big_listing]),
        ("hashing it", [tarvolin, "--sha256", big]),
        ("sha256sum -c", "cd '%s' && sha256sum -c --quiet '%s'" % (folder, big_listing))], runs)


if __name__ == "__main__":
    main()
