# A file that grows, shrinks or is rewritten while it is read gives the denied marker and
# counts as an error: its digest would belong to no version of the file. The program is
# stopped as soon as it has the file open, the file is changed, and the program goes on.
# windows: opened denying others write access, it cannot change while read (the case changes it from Linux, found through /proc)
mkdir t
python3 - "$TARVOLIN" <<'PY'
import os, signal, subprocess, sys, time
binary = sys.argv[1]

def holding(pid, path):
    target = os.path.realpath(path)
    try:
        for fd in os.listdir(f"/proc/{pid}/fd"):
            try:
                if os.readlink(f"/proc/{pid}/fd/{fd}") == target:
                    return True
            except OSError:
                pass
    except OSError:
        pass
    return False

def run(title, change, options=()):
    path = "t/big"
    with open(path, "wb") as f:
        f.truncate(64 << 20)
    p = subprocess.Popen([binary, "-c", "--sha3_512", *options, "-d", "t"],
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    deadline = time.monotonic() + 30
    while not holding(p.pid, path):
        if p.poll() is not None or time.monotonic() > deadline:
            print(f"== {title}: the file was never seen open")
            p.kill()
            return
        time.sleep(0.0005)
    os.kill(p.pid, signal.SIGSTOP)
    still_open = holding(p.pid, path)
    change(path)
    os.kill(p.pid, signal.SIGCONT)
    out, _ = p.communicate(timeout=60)
    print(f"== {title}: exit {p.returncode}" + ("" if still_open else " (closed before the change)"))
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
