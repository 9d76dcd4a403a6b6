# A line of a gigabyte is one malformed line, read without being held; the lines after it count.
printf abc > a
if [ -n "${TARVOLIN_EXE:-}" ]; then size=20000000; else size=1000000000; fi
{ head -c "$size" /dev/zero | tr '\0' a; printf '\nba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad  a\n'; } | "$TARVOLIN" --check -
echo "exit $?"
