# CTRL-C in LIST mode is not handled: the signal ends the process.
# windows: the unhandled CTRL-C exit code; Wine 8 ends the process with 0, Windows with 0xC000013A
mkdir t
for i in $(seq 1 100); do truncate -s 8M "t/f$i"; done
perl -e '$SIG{INT} = "DEFAULT"; exec @ARGV' "$TARVOLIN" --sha3_512 t/f* > out.txt &
pid=$!
sleep 0.5
kill -INT "$pid"
wait "$pid"
echo "exit $?"
