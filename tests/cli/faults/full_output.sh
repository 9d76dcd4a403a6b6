# A result that cannot be written ends the run with exit 72 and one error line, in DIR mode
# too, and the summary file then tells of an aborted run whose unwritten lines count as errors:
# a write failing part-way through a tree (2,000 files whose lines are 82 bytes each, 83 with
# CR LF: the first 64 KiB block holds 799 of them, or 789, and fails with the next), at the end
# of a run, on standard output, on the tee copy, in LIST mode. COMPARE mode writes no summary.
mkdir t m
for i in $(seq 1000 2999); do printf "$i" > "t/f$i"; done
printf 1 > m/one
summary() { echo "exit $1: $(tr -d '\r' < sum.txt)"; rm -f sum.txt; }
"$TARVOLIN" -c -u sum.txt -o /dev/full -d t
summary $?
"$TARVOLIN" -c -u sum.txt -d t > /dev/full
summary $?
"$TARVOLIN" -c -u sum.txt -o /dev/full -d m
summary $?
"$TARVOLIN" -c -t -u sum.txt -o out.txt -d m > /dev/full
summary $?
tr -d '\r' < out.txt
"$TARVOLIN" -c -u sum.txt -o /dev/full abc m/one
summary $?
"$TARVOLIN" -c -u sum.txt -o /dev/full -k t/f1000 t/f1001
echo "exit $?"
[ -e sum.txt ] && echo "summary written" || echo "no summary"
