# A write into the -o file cut short part-way through a block (here by the file size limit)
# leaves the file ending at a line end: the part of a line that fit is cut back. 2,000 lines
# of 82 bytes go out in blocks of 799 lines; the limit of 100 KiB falls inside the second
# block, whose first 449 whole lines stay (1,248 lines in all). The limit's signal then ends
# the program.
# windows: the file size limit (ulimit -f) is POSIX
mkdir t
for i in $(seq 1000 2999); do printf "$i" > "t/f$i"; done
# (The shell's own report of the signal goes nowhere.)
{ (ulimit -f 100 && exec "$TARVOLIN" -o out.txt -d t); } 2>/dev/null
echo "exit $?"
wc -l < out.txt
tail -c 1 out.txt | od -An -c
echo "other lines: $(grep -cv '^[0-9a-f]\{64\}  {File}  t/f[0-9]\{4\}$' out.txt)"
