mkdir t
"$TARVOLIN" -d t -e nothing.txt
