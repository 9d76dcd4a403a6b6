mkdir sub && printf abcde > sub/five.txt
"$TARVOLIN" -i -f sub/five.txt
