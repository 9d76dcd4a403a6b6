# Paths far beyond 4,096 bytes, through nested folders: the walk finds and hashes every file,
# and such paths work as the DIR folder, LIST items, COMPARE files, exclusion and output files.
# Each result line is shown as the digest, the path's length and its last part.
# The Windows program (under Wine) gets paths far beyond MAX_PATH (260) instead: Wine reaches
# files through Linux paths, so they stay below Linux's 4,096 bytes there.
if [ -n "${TARVOLIN_EXE:-}" ]; then depths="1 5 15"; else depths="10 25 60"; fi
last=${depths##* }
python3 - $depths <<'PY'
import os, sys
depths = [int(d) for d in sys.argv[1:]]
name = "n" * 200
for top in ("t", "u"):
    fd = os.open(".", os.O_RDONLY)
    os.mkdir(top, dir_fd=fd)
    fd = os.open(top, os.O_RDONLY, dir_fd=fd)
    path = top
    for depth in range(1, depths[-1] + 1):
        os.mkdir(name, dir_fd=fd)
        child = os.open(name, os.O_RDONLY, dir_fd=fd)
        os.close(fd)
        fd = child
        path += "/" + name
        if top == "t" and depth in depths:
            f = os.open(f"file{depth}", os.O_WRONLY | os.O_CREAT, 0o644, dir_fd=fd)
            os.write(f, b"depth %d" % depth)
            os.close(f)
    if top == "u":
        f = os.open("exclude.txt", os.O_WRONLY | os.O_CREAT, 0o644, dir_fd=fd)
        os.write(f, b"FILE%d\n" % depths[-1])
        os.close(f)
    open(top + ".txt", "w").write(path)
PY
t=$(cat t.txt)
u=$(cat u.txt)
show() { python3 -c '
import sys
for line in sys.stdin.buffer.read().decode().splitlines():
    digest, _, path = line.partition("  {File}  ")
    path = path.replace("\\", "/")
    print(digest, len(path), path[-12:]) if path else print(line[:80])'; }
"$TARVOLIN" -c -r -d t | show | LC_ALL=C sort
"$TARVOLIN" -c -d "$t" | show
"$TARVOLIN" -z -5 "$t/file$last" | show
"$TARVOLIN" -5 -k "$t/file$last" "$t/file$last"
"$TARVOLIN" -c -r -e "$u/exclude.txt" -d t | show | LC_ALL=C sort
"$TARVOLIN" -c -r -o "$u/out.txt" -d t
echo "exit $?"
python3 -c '
import os
fd = os.open(".", os.O_RDONLY)
for part in open("u.txt").read().split("/"):
    fd = os.open(part, os.O_RDONLY, dir_fd=fd)
print(open(os.open("out.txt", os.O_RDONLY, dir_fd=fd)).read().count("\n"), "lines in the output file")'
