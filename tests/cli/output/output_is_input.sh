# An -o file that the run also reads (or writes as its summary) is refused before anything is
# written: the line on standard error, exit 102, the file untouched. The same file however it
# is named, and a name that does not exist yet but would be created by the output.
printf data > f
printf a > a
printf b > b
printf exc > e.txt
mkdir t
printf 1 > t/one
check() { "$TARVOLIN" "$@" >/dev/null; echo "exit $?"; }
check -o f f
check -o ./f t/../f
check -o a -k a b
check -o e.txt -e ./e.txt -d t
check -o s.txt -u s.txt abc
check -o new new
cat f a e.txt
echo
[ -e s.txt ] || [ -e new ] || echo "nothing created"
check -o other.txt f -u s.txt
# A device is no file the output could destroy (POSIX; the Windows program sees no /dev/null).
if [ -z "${TARVOLIN_EXE:-}" ]; then check -o /dev/null /dev/null; else echo "exit 0"; fi
