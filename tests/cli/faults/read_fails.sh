# A file that opens but whose read fails (/proc/self/mem at offset 0 gives EIO): the denied
# marker, counted as an error, in every mode; the run goes on and the exit code stays 0.
mkdir t
printf a > t/a
ln -s /proc/self/mem t/mem
"$TARVOLIN" -c -d t | LC_ALL=C sort
echo "exit ${PIPESTATUS[0]}"
"$TARVOLIN" -c -u sum.txt t/mem t/a
echo "exit $? summary $(cat sum.txt)"
"$TARVOLIN" -5 -k t/mem t/a
echo "exit $?"
