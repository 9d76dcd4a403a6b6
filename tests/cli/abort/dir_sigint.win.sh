# Windows: CTRL-C (SIGINT to the Wine process, which Wine turns into CTRL_C_EVENT) during a DIR
# run: the file being read gets no line, then a line break and "Processing Aborted...  ", exit
# 252, and every line written before is complete in the -o file, CR LF included. No summary is
# written.
mkdir t
# Two seconds before CTRL-C: Wine starts slowly on a busy machine, and the 3.2 GB take far
# longer than that to hash even on several threads.
for i in $(seq 1 400); do truncate -s 8M "t/f$i"; done
# Background jobs of a script ignore SIGINT; restore the default before starting the program.
perl -e '$SIG{INT} = "DEFAULT"; exec @ARGV' "$TARVOLIN" --sha3_512 -o out.txt -u sum.txt -d t &
pid=$!
sleep 2
kill -INT "$pid"
wait "$pid"
echo "exit $?"
tail -c 27 out.txt | od -c
tr -d '\r' <out.txt >lines.txt
lines=$(grep -c '  {File}  t\\f' lines.txt)
[ "$lines" -ge 1 ] && [ "$lines" -lt 400 ] && echo "some files hashed, not all"
bad=$(head -n -2 lines.txt | grep -cv '^[0-9a-f]\{128\}  {File}  t\\f[0-9]*$')
echo "incomplete lines: $bad"
crlf=$(head -n -2 out.txt | grep -c $'\r$')
[ "$crlf" = "$lines" ] && echo "every line ends with CR LF"
[ -e sum.txt ] && echo "summary written" || echo "no summary"
