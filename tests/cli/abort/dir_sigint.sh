# CTRL-C during a DIR run: the file being read is abandoned, then a line break and "Processing
# Aborted...  ", exit 252, and every line written before is complete in the -o file. No summary
# is written.
mkdir t
for i in $(seq 1 100); do truncate -s 8M "t/f$i"; done
# Background jobs of a script ignore SIGINT; restore the default before starting the program.
perl -e '$SIG{INT} = "DEFAULT"; exec @ARGV' "$TARVOLIN" --sha3_512 -o out.txt -u sum.txt -d t &
pid=$!
# The request comes once 20 different files have been seen open: whatever the thread count,
# the first files are finished by then (each worker takes the next files in list order), and
# most are not.
seen=""
for i in $(seq 1 3000); do
  seen=$( (echo "$seen"; ls -l "/proc/$pid/fd" 2>/dev/null | grep -o 't/f[0-9]*$') | sort -u)
  [ "$(echo "$seen" | grep -c .)" -ge 20 ] && break
  sleep 0.01
done
kill -INT "$pid"
wait "$pid"
echo "exit $?"
tail -n 2 out.txt | od -c | head -n 3 | sed -n '1p' | grep -q '\\n' && echo "line break before the abort line"
tail -n 1 out.txt
lines=$(grep -c '  {File}  t/f' out.txt)
[ "$lines" -ge 1 ] && [ "$lines" -lt 100 ] && echo "some files hashed, not all"
bad=$(head -n -2 out.txt | grep -cv '^[0-9a-f]\{128\}  {File}  t/f[0-9]*$')
echo "incomplete lines: $bad"
[ -e sum.txt ] && echo "summary written" || echo "no summary"
