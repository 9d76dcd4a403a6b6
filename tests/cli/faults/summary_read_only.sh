# A summary file that cannot be written: exit 105 and the error line, but the results and the
# counters are complete.
mkdir -p t/sub
printf a > t/a
printf b > t/sub/b
"$TARVOLIN" -c -r -u /proc/summary.txt -d t | LC_ALL=C sort
echo "exit ${PIPESTATUS[0]}"
"$TARVOLIN" -c -u /proc/self/summary.txt -o out.txt t/a text
echo "exit $?"
cat out.txt
