printf "first file\n" > a.txt
"$TARVOLIN" -p --compare a.txt a.txt
