# Windows: names with blanks, bytes that are not UTF-8 (Wine shows them as U+FFFD) and leading
# dashes are hashed and written exactly as listed, in DIR and LIST mode, and match masks and
# exclusions. Windows names hold no line break, and the system strips trailing blanks from the
# names it is given, so those two POSIX names are left out.
mkdir t
printf 1 > "t/a b"
printf 2 > "t/  two  blanks"
printf 4 > $'t/bad\xff\xfeutf8'
printf 5 > t/-h
printf 6 > t/--help
printf 7 > t/-d
printf 8 > $'t/caf\xc3\xa9'
"$TARVOLIN" -c -d t | LC_ALL=C sort
"$TARVOLIN" -i -d t $'*\xef\xbf\xbd*' '-*' '* *'
printf '\xef\xbf\xbd\n' > exc.txt
"$TARVOLIN" -c -e exc.txt -d t 'bad*'
cd t
"$TARVOLIN" -5 ./-h ./--help "a b" $'bad\xff\xfeutf8' $'bad\xff\xfeutf8X'
