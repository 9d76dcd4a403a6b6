printf x > a.txt
"$TARVOLIN" -k a.txt
