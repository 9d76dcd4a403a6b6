printf abcde > five.txt
"$TARVOLIN" --all five.txt
