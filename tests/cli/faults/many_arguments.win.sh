# Windows: 2,500 items, about as many as fit in a command line of 32,767 characters: every one
# hashed once, in LIST mode, as DIR-mode masks and on the syntax error screen.
mkdir t && printf a > t/item7 && printf b > t/other
python3 - "$TARVOLIN" <<'PY'
import hashlib, subprocess, sys
items = ["item%d" % i for i in range(1, 2501)]
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
print(f"exit {r.returncode}:", "Mismatched Parameters Used" in screen, "item2500" in screen)
PY
