# Names holding a line break or a backslash are written escaped by -f and read back; a result
# line shows a name with a line break escaped again, on a line starting with a backslash.
# windows: names with line breaks and backslashes are POSIX
mkdir t
printf 1 > "t/line
break"
printf 2 > 't/back\slash'
"$TARVOLIN" -f -d t | LC_ALL=C sort > list.txt
"$TARVOLIN" --check list.txt -d t
echo "exit $?"
"$TARVOLIN" -5 -f -d t | LC_ALL=C sort > md5.txt
"$TARVOLIN" --check md5.txt -d t
echo "exit $?"
