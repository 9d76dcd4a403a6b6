# CTRL-C during a check: the file being read gets no line; the lines before it are whole, then
# a line break and "Processing Aborted...  ", exit 252, and no summary.
# windows: the request is sent as a POSIX signal
mkdir t
for i in $(seq 1 100); do truncate -s 8M "t/f$i"; done
digest=$("$TARVOLIN" --sha3_512 -s t/f1 | cut -d' ' -f1)
for i in $(seq 1 100); do echo "$digest  t/f$i"; done > list.txt
# Background jobs of a script ignore SIGINT; restore the default before starting the program.
perl -e '$SIG{INT} = "DEFAULT"; exec @ARGV' "$TARVOLIN" --sha3_512 --check list.txt -o out.txt \
  -u sum.txt &
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
tail -n 1 out.txt
[ "$(tail -n 2 out.txt | head -n 1)" = "" ] && echo "line break before the abort line"
lines=$(grep -c '^t/f[0-9]*: OK$' out.txt)
[ "$lines" -ge 1 ] && [ "$lines" -lt 100 ] && echo "some files checked, not all"
echo "other lines: $(head -n -2 out.txt | grep -cv '^t/f[0-9]*: OK$')"
[ -e sum.txt ] && echo "summary written" || echo "no summary"
