printf "first file\n" > a.txt
printf "second file\n" > b.txt
"$TARVOLIN" -5 -2 -k a.txt b.txt
