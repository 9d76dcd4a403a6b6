# One changed byte gives FAILED, a deleted file MISSING, a socket or a failing read UNREADABLE,
# a NOHASH or denied line NO DIGEST; each counts, the counts go to standard error, exit 106.
# windows: a socket and /proc/self/mem are POSIX
mkdir t
printf abc > t/a
printf abd > t/b
printf abc > t/c
printf abc > t/d
printf abc > t/e
"$TARVOLIN" -f -r -o list.txt -d .
"$TARVOLIN" -n -f -r -d . | grep 't/a$' >> list.txt
ln -s /proc/self/mem t/mem
"$TARVOLIN" -f -r -d . | grep 't/mem$' >> list.txt
LC_ALL=C sort -s -t '*' -k 2,2 -o list.txt list.txt
printf abe > t/b
rm t/c
rm t/d
python3 -c 'import socket; socket.socket(socket.AF_UNIX).bind("t/d")'
ln -sf /proc/self/mem t/e
"$TARVOLIN" --check list.txt -u sum.txt
echo "exit $? summary $(cat sum.txt)"
"$TARVOLIN" --check list.txt --quiet -o out.txt
echo "exit $?"
cat out.txt
