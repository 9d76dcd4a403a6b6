# 200,000 files: memory stays proportional to the file list (a small fixed cost per file, here
# bounded at 300 bytes beyond what 20,000 files need), and no descriptor is left open per file:
# with only 32 descriptors allowed, every file is still hashed, and the 2,000 that fail on
# opening or reading fail for their own reasons only.
# windows: memory peaks from /proc, descriptor limits and /proc/self/mem links
if [ -n "${ASAN_OPTIONS:-}${UBSAN_OPTIONS:-}" ]; then
  echo "SKIPPED LOUDLY: memory figures mean nothing under the sanitizers"
  exit 0
fi
python3 - "$TARVOLIN" <<'PY'
import os, resource, subprocess, sys, time
binary = sys.argv[1]
os.mkdir("t")
for d in range(200):
    os.mkdir(f"t/d{d:03}")
    for f in range(1000):
        os.close(os.open(f"t/d{d:03}/file{f:04}", os.O_CREAT | os.O_WRONLY, 0o644))
os.mkdir("t/failing")
for f in range(1000):
    os.symlink("/proc/self/mem", f"t/failing/mem{f:04}")  # opens, then the read fails
    os.symlink("nowhere", f"t/failing/broken{f:04}")      # does not open

def peak_kib(folder):
    """Peak resident memory of one run, read from the program itself at its very end: its
    summary file is a pipe, and opening it waits until this script opens the other end."""
    if not os.path.exists("summary"):
        os.mkfifo("summary")
    p = subprocess.Popen([binary, "-r", "-o", "/dev/null", "-u", "summary", "-d", folder])
    while "partner" not in open(f"/proc/{p.pid}/wchan").read():
        if p.poll() is not None:
            raise SystemExit("the run ended before writing its summary")
        time.sleep(0.01)
    status = open(f"/proc/{p.pid}/status").read()
    peak = int(status.split("VmHWM:")[1].split()[0])
    with open("summary") as f:
        f.read()
    assert p.wait(timeout=60) == 0
    return peak

# 20,000 files: the first 20 folders, through a folder of links to them.
os.mkdir("some")
for d in range(20):
    os.symlink(f"../t/d{d:03}", f"some/d{d:03}")
small = peak_kib("some")
large = peak_kib("t")
per_file = (large - small) * 1024 / 180000
print("memory per extra file within 300 bytes:", per_file < 300)

def limited():
    resource.setrlimit(resource.RLIMIT_NOFILE, (32, 32))
r = subprocess.run([binary, "-c", "-r", "-d", "t"], capture_output=True, preexec_fn=limited)
print("with 32 descriptors: exit", r.returncode, "/", r.stdout.decode().splitlines()[-1])
PY
