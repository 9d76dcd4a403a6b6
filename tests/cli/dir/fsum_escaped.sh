# -f: a name holding a line break or a backslash is written escaped and its line starts with a
# backslash, so no name can forge a line of the listing; other lines stay as they are.
# windows: line breaks and backslashes in names are POSIX names
mkdir t
printf 1 > $'t/zz\n0123 ?SHA256*payload'
printf 2 > 't/back\slash'
printf 3 > $'t/cr\rname'
printf 4 > t/plain
"$TARVOLIN" -f -d t | LC_ALL=C sort
"$TARVOLIN" -f -i -5 -d t | LC_ALL=C sort
"$TARVOLIN" -f -n -d t 'z*' | sed 's/^\\"[^"]*"/\\"DATE"/'
