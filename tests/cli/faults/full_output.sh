# A result that cannot be written ends the run with exit 72 and one error line, in DIR mode
# too: an output file on a full device, standard output on a full device. No summary follows.
mkdir t
for i in $(seq 1 2000); do printf "$i" > "t/f$i"; done
"$TARVOLIN" -c -u sum.txt -o /dev/full -d t
echo "exit $?"
"$TARVOLIN" -c -u sum.txt -d t > /dev/full
echo "exit $?"
"$TARVOLIN" -c -u sum.txt -o /dev/full -k t/f1 t/f2
echo "exit $?"
[ -e sum.txt ] && echo "summary written" || echo "no summary"
