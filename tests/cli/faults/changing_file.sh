# A file that grows, shrinks or is rewritten while it is read gives the denied marker and
# counts as an error: its digest would belong to no version of the file. The program is
# stopped as soon as it has begun reading the file, the file is changed, and the program goes on.
# windows: opened denying others write access, it cannot change while read (the case changes it from Linux, found through /proc)
mkdir t
python3 - "$TARVOLIN" <<'PY'
import os, signal, subprocess, sys, time
binary = sys.argv[1]
SIZE = 64 << 20

def reading(pid, path):
    """True while the program holds the file open and is part way through it: it has
    taken its note of the file's size and time, and not yet made its last check."""
    target = os.path.realpath(path)
    try:
        for fd in os.listdir(f"/proc/{pid}/fd"):
            try:
                if os.readlink(f"/proc/{pid}/fd/{fd}") != target:
                    continue
                with open(f"/proc/{pid}/fdinfo/{fd}") as info:
                    for line in info:
                        if line.startswith("pos:") and 0 < int(line.split()[1]) < SIZE:
                            return True
            except (OSError, ValueError):
                pass
    except OSError:
        pass
    return False

def stopped(pid):
    """Waits until the stop signal has taken hold, so the program reads nothing more."""
    while True:
        with open(f"/proc/{pid}/stat") as stat:
            if stat.read().rsplit(")", 1)[1].split()[0] in ("T", "t"):
                return
        time.sleep(0.0002)

def run(title, change, options=()):
    path = "t/big"
    with open(path, "wb") as f:
        f.truncate(SIZE)
    p = subprocess.Popen([binary, "-c", "--sha3_512", *options, "-d", "t"],
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    deadline = time.monotonic() + 30
    while True:
        if p.poll() is not None or time.monotonic() > deadline:
            print(f"== {title}: the file was never seen open")
            p.kill()
            return
        if reading(p.pid, path):
            os.kill(p.pid, signal.SIGSTOP)
            stopped(p.pid)
            # Stopped in time only if it still holds the file; otherwise let it go on.
            if reading(p.pid, path):
                break
            os.kill(p.pid, signal.SIGCONT)
        time.sleep(0.0005)
    change(path)
    os.kill(p.pid, signal.SIGCONT)
    out, _ = p.communicate(timeout=60)
    print(f"== {title}: exit {p.returncode}")
    print(out.decode(), end="")

def grow(path):
    with open(path, "ab") as f:
        f.write(b"x" * 100)

def shrink(path):
    os.truncate(path, 1000)

def rewrite(path):
    with open(path, "r+b") as f:
        f.seek(32 << 20)
        f.write(b"changed")
    t = time.time() + 5  # a later write time, whatever the clock's granularity
    os.utime(path, (t, t))

run("grows", grow)
run("shrinks", shrink)
run("rewritten in place", rewrite)
run("unchanged", lambda path: None, ["-z"])
PY
