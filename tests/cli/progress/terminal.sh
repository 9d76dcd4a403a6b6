# windows: pseudo-terminals are POSIX (python's pty module)
# The progress line on a terminal: two FIFOs fed slowly (0.8 s each) make a slow run. With both
# streams on a terminal the line is drawn, and erased before each result line and at the end:
# the screen keeps the result lines alone. --no-progress, or no terminal, shows no line at all.
command -v python3 >/dev/null || { echo "SKIPPED LOUDLY: python3 is missing"; exit 0; }
mkfifo a b
python3 - "$TARVOLIN" <<'PY'
import os, pty, re, subprocess, sys, threading, time

def run(args, terminal_err, terminal_out):
    """Runs over the FIFOs, fed in turn. Returns what reached the terminal and what the streams
    that are pipes received."""
    master, slave = pty.openpty()
    pipe = subprocess.PIPE
    proc = subprocess.Popen([sys.argv[1], *args, "a", "b"], stdin=subprocess.DEVNULL,
                            stdout=slave if terminal_out else pipe,
                            stderr=slave if terminal_err else pipe)
    os.close(slave)
    seen = bytearray()
    def drain():
        try:
            while data := os.read(master, 4096):
                seen.extend(data)
        except OSError:  # the terminal's last user has gone
            pass
    reader = threading.Thread(target=drain)
    reader.start()
    for name in ("a", "b"):
        with open(name, "wb") as fifo:
            for _ in range(8):
                fifo.write(b"x" * 65536)
                fifo.flush()
                time.sleep(0.1)
    out, err = proc.communicate()
    reader.join()
    os.close(master)
    return bytes(seen), out or b"", err or b""

def screen(data):
    """What a terminal shows: a carriage return goes back to the line's start, text overwrites."""
    lines, line, at = [], [], 0
    for ch in data.decode("latin-1"):
        if ch == "\r":
            at = 0
        elif ch == "\n":
            lines.append("".join(line).rstrip())
            line, at = [], 0
        else:
            line[at:at + 1] = [ch]
            at += 1
    return lines + ["".join(line).rstrip()]

shown, _, _ = run([], True, True)
drawn = re.search(rb"\r [01]/2 files  [0-9.]+ [kM]?B  [0-9.]+ MB/s", shown)
print("line drawn:", bool(drawn))
print("screen:", *screen(shown), sep="\n")
shown, out, _ = run(["--no-progress"], True, False)
print("--no-progress:", repr(shown), out.count(b"{File}"), "result lines")
_, out, err = run([], False, False)
print("no terminal:", repr(err), out.count(b"{File}"), "result lines")
PY
