printf "first file\n" > a.txt
"$TARVOLIN" -k a.txt a.txt
