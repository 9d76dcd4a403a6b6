# CTRL-C (SIGINT) at any moment of a DIR run. Before the handler is installed (during the
# folder search) the default disposition ends the process (exit 130); during the file loop the
# run stops after the current file with exit 252; either way the -o file holds only whole
# lines. First two deterministic moments, then random ones.
# windows: /proc/<pid>/wchan and full pipes time the signal; the Windows CTRL-C path is covered by abort/dir_sigint
mkdir t
for d in $(seq 1 40); do
  mkdir "t/d$d"
  for f in $(seq 1 50); do : > "t/d$d/e$f"; done
done
for i in $(seq 1 60); do truncate -s 2M "t/f$i"; done
python3 - "$TARVOLIN" <<'PY'
import fcntl, os, random, re, signal, subprocess, sys, time
binary = sys.argv[1]
line = re.compile(rb"^[0-9a-f]{128}  \{File\}  t/(f\d+|d\d+/e\d+)$")

def start(stdout=subprocess.DEVNULL):
    # A child of a non-interactive shell may inherit SIGINT ignored; the program must see the
    # default, as from a terminal.
    return subprocess.Popen([binary, "--sha3_512", "-c", "-r", "-o", "out.txt", "-d", "t"],
                            stdout=stdout, stderr=subprocess.DEVNULL,
                            preexec_fn=lambda: signal.signal(signal.SIGINT, signal.SIG_DFL))

def check(rc):
    """The exit code is one of the three outcomes and the output holds only whole lines."""
    data = open("out.txt", "rb").read() if os.path.exists("out.txt") else b""
    if data and not data.endswith(b"\n"):
        return f"exit {rc}: partial last line"
    lines = data.splitlines()
    if rc == 252 and lines[-2:] == [b"", b"Processing Aborted...  "]:
        lines = lines[:-2]
    elif rc == 252 and lines and lines[-1].startswith(b"Success = ") and b"(Max Unfiltered)" in lines[-1]:
        lines = lines[:-1]
    elif rc == 0 and lines and lines[-1].startswith(b"Success = 2060   Unfiltered = 2060"):
        lines = lines[:-1]
    elif rc not in (-signal.SIGINT, 130):
        return f"exit {rc}: unexpected ending {lines[-2:]}"
    bad = [l for l in lines if not line.match(l)]
    return f"exit {rc}: bad lines {bad[:2]}" if bad else None

# Before the handler: the banner goes to a standard error pipe this script has filled, so the
# program is held writing it, before the folder search and before the handler is installed.
if os.path.exists("out.txt"):
    os.remove("out.txt")
r, w = os.pipe()
fcntl.fcntl(w, 1031, 4096)
os.set_blocking(w, False)
try:
    while True:
        os.write(w, b"x" * 4096)
except BlockingIOError:
    pass
os.set_blocking(w, True)
p = subprocess.Popen([binary, "-b", "-r", "-o", "out.txt", "-d", "t"], stdout=subprocess.DEVNULL,
                     stderr=w, preexec_fn=lambda: signal.signal(signal.SIGINT, signal.SIG_DFL))
os.close(w)
deadline = time.monotonic() + 30
while "pipe_write" not in open(f"/proc/{p.pid}/wchan").read() and time.monotonic() < deadline:
    time.sleep(0.001)
os.kill(p.pid, signal.SIGINT)
rc = p.wait(timeout=60)
os.close(r)
print("before the handler:", "ended by the signal" if rc == -signal.SIGINT else f"exit {rc}",
      "/", check(rc) or "whole lines only")

# During the file loop: standard output is a 4 KiB pipe not read until the signal was sent,
# so the program is held at its first block of lines, well inside the loop.
r, w = os.pipe()
fcntl.fcntl(w, 1031, 4096)
p = subprocess.Popen([binary, "-r", "-d", "t"], stdout=w, stderr=subprocess.DEVNULL,
                     preexec_fn=lambda: signal.signal(signal.SIGINT, signal.SIG_DFL))
os.close(w)
first = os.read(r, 1)
os.kill(p.pid, signal.SIGINT)
rest = first
while chunk := os.read(r, 65536):
    rest += chunk
rc = p.wait(timeout=60)
print("during the loop: exit", rc, "/ last line:", rest.splitlines()[-1].decode())

# Random moments.
random.seed(7)
problems = []
for k in range(12):
    # A run ended before it opened its output must not be judged by the previous run's file.
    if os.path.exists("out.txt"):
        os.remove("out.txt")
    p = start()
    time.sleep(random.uniform(0, 0.6))
    p.send_signal(signal.SIGINT)
    rc = p.wait(timeout=60)
    if (problem := check(rc)) is not None:
        problems.append(problem)
print("random moments:", problems or "every run ended cleanly with whole lines")
PY
