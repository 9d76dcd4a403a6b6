# -u and -c together at the end of a DIR run.
mkdir t && printf a > t/a
"$TARVOLIN" -c -u s.txt -d t
cat s.txt
