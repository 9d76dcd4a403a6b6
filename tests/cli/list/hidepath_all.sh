# -i: only the file-name part, no prefixes, no separator.
mkdir sub && printf abcde > sub/five.txt
"$TARVOLIN" -i --all sub/five.txt
