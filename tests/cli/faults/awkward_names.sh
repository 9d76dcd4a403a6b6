# Names with blanks, line breaks, bytes that are not UTF-8 and leading dashes are hashed and
# written exactly as they are, in DIR and LIST mode, and match masks and exclusions.
mkdir t
printf 1 > "t/a b"
printf 2 > "t/  two  blanks  "
printf 3 > $'t/line\nbreak'
printf 4 > $'t/bad\xff\xfeutf8'
printf 5 > t/-h
printf 6 > t/--help
printf 7 > t/-d
printf 8 > $'t/caf\xc3\xa9'
"$TARVOLIN" -c -d t | LC_ALL=C sort
"$TARVOLIN" -i -d t $'*\xff*' '-*' '* *'
printf '\xfe\n' > exc.txt
"$TARVOLIN" -c -e exc.txt -d t 'bad*'
cd t
"$TARVOLIN" -5 ./-h ./--help "a b" $'line\nbreak' $'bad\xff\xfeutf8' $'bad\xff\xfeutf8X'
