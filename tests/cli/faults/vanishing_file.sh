# A file that vanishes, or is replaced, between the folder search and its hashing. Without -z
# or -m a vanished file gives denied lines and counts as an error; with them it is skipped as
# too large. A pipe or device put in its place is refused, never read (no hang).
# Made deterministic by the output pipe: it holds 4 KiB, so the program's first 64 KiB block of
# result lines cannot be written until this script reads. When the first byte arrives the
# search is over, and the victim, listed after the 3,000 files of the folder's root (a folder's
# files come before its subfolders'), is not hashed yet: the first block holds under 1,000
# lines, and with threads no more than 64 files per thread are hashed ahead of the writer.
# windows: the program is held at a full 4 KiB output pipe; under Wine its output passes through the line-end check
mkdir -p t/sub
python3 - "$TARVOLIN" <<'PY'
import fcntl, os, subprocess, sys
for i in range(3000):
    open(f"t/r{i:04}", "wb").close()
binary = sys.argv[1]

def remove_victim():
    if os.path.isdir("t/sub/victim") and not os.path.islink("t/sub/victim"):
        os.rmdir("t/sub/victim")
    elif os.path.lexists("t/sub/victim"):
        os.remove("t/sub/victim")

def run(title, options, replace):
    remove_victim()
    with open("t/sub/victim", "wb") as f:
        f.write(b"victim")
    r, w = os.pipe()
    fcntl.fcntl(w, 1031, 4096)  # F_SETPIPE_SZ
    p = subprocess.Popen([binary, "-c", *options, "-r", "-d", "t"], stdout=w)
    os.close(w)
    out = os.read(r, 1)
    remove_victim()
    replace()
    while chunk := os.read(r, 65536):
        out += chunk
    os.close(r)
    rc = p.wait(timeout=60)
    lines = out.decode().splitlines()
    root = [l for l in lines if "  t/r" in l]
    print(f"== {title}: exit {rc}, {len(root)} root files hashed")
    for l in lines:
        if "  t/r" not in l:
            print(l)

run("vanished", [], lambda: None)
run("vanished, -z", ["-z"], lambda: None)
run("vanished, -m", ["-m", "100"], lambda: None)
run("a pipe in its place", [], lambda: os.mkfifo("t/sub/victim"))
run("a pipe in its place, -z", ["-z"], lambda: os.mkfifo("t/sub/victim"))
run("a link to a device in its place", ["-z"], lambda: os.symlink("/dev/zero", "t/sub/victim"))
run("a folder in its place", [], lambda: os.mkdir("t/sub/victim"))
remove_victim()
PY
