echo old > out.txt
"$TARVOLIN" -o out.txt abc
cat out.txt
