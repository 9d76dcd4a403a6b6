# 100,000 items on one command line: every one hashed once, in linear time (the time limit
# catches quadratic work), in LIST mode, as DIR-mode masks and on the syntax error screen.
# The Windows program gets 2,500, about as many as fit in a command line of 32,767 characters.
if [ -n "${TARVOLIN_EXE:-}" ]; then count=2500; else count=100000; fi
mkdir t && printf a > t/item7 && printf b > t/other
python3 - "$TARVOLIN" "$count" <<'PY'
import hashlib, subprocess, sys
count = int(sys.argv[2])
items = ["item%d" % i for i in range(1, count + 1)]
def run(*options):
    return subprocess.run([sys.argv[1], *options, *items], capture_output=True, timeout=60)
r = run("-c")
lines = r.stdout.decode().splitlines()
print(f"exit {r.returncode}: {len(lines)} lines, {lines[-1]}")
print("every digest right:", all(
    line == hashlib.sha256(item.encode()).hexdigest() + "  {Text}  " + item
    for line, item in zip(lines, items)))
r = run("-c", "-d", "t")
print(f"exit {r.returncode}:", r.stdout.decode(), end="")
r = run("-n")
screen = r.stderr.decode()
print(f"exit {r.returncode}:", "Mismatched Parameters Used" in screen, items[-1] in screen)
PY
