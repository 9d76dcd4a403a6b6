# A message or banner that cannot be written to standard error neither stops the run nor
# changes its exit code; only the result output decides 72.
mkdir t
printf 1 > t/one
for args in "-d missing" "-e missing -d t" "-k one" "-d t nomatch*" "abc -u no/such/sum.txt"; do
  "$TARVOLIN" $args 2>/dev/full
  echo "exit $?"
done
"$TARVOLIN" -b -c abc 2>/dev/full
echo "exit $?"
"$TARVOLIN" 2>/dev/full
echo "exit $?"
