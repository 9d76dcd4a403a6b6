# Runs killed at random moments by the signals that end a process (SIGHUP, SIGPIPE, SIGTERM)
# leave an -o file of whole lines only, in DIR and in LIST mode: each block is written whole
# before the signal takes effect.
# windows: POSIX signals
mkdir -p t
for d in $(seq 1 8); do
  mkdir "t/d$d"
  for f in $(seq 1 250); do printf "$f" > "t/d$d/file-$f"; done
done
python3 - "$TARVOLIN" <<'PY'
import os, random, signal, subprocess, sys, time
binary = sys.argv[1]
items = [f"item-{i}-" + "x" * 40 for i in range(2000)]
commands = {
    "DIR": [binary, "--all", "-f", "-r", "-o", "out.txt", "-d", "t"],
    "LIST": [binary, "--all", "-s", "-o", "out.txt"] + items,
}
signals = [signal.SIGHUP, signal.SIGPIPE, signal.SIGTERM]
torn = []
for mode, command in commands.items():
    start = time.monotonic()
    subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    whole = time.monotonic() - start
    for k in range(16):
        if os.path.exists("out.txt"):
            os.unlink("out.txt")
        run = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(random.uniform(0, whole))
        run.send_signal(signals[k % 3])
        run.wait()
        data = open("out.txt", "rb").read() if os.path.exists("out.txt") else b""
        if data and not data.endswith(b"\n"):
            torn.append(f"{mode} run {k}: {signals[k % 3].name}")
print("torn last lines:", torn if torn else "none")
PY
