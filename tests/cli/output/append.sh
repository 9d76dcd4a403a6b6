echo old > out.txt
"$TARVOLIN" -o out.txt -a abc
cat out.txt
