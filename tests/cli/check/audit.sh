# An audit: a renamed file is one MOVED line in the place of its MISSING line, an added file a
# NEW line after the listing's lines (sorted, relative to the folder), each file used once; the
# wildcards and -e limit only the walk; the output file in the tree is left out.
mkdir -p t/sub
printf one > t/a
printf two > t/b
printf one > t/c
printf two > t/sub/d
"$TARVOLIN" -f -r -o t/list.txt -d t
LC_ALL=C sort -t '*' -k 2,2 -o t/list.txt t/list.txt
mv t/a t/z
mv t/b t/sub/y
printf new > t/sub/n
printf new > t/new
"$TARVOLIN" -r -c --check t/list.txt -o t/out.txt -d t
echo "exit $?"
cat t/out.txt
"$TARVOLIN" -c --check t/list.txt -d t '*.txt'
echo "exit $?"
echo sub > exc.txt
"$TARVOLIN" -r --check t/list.txt -e exc.txt -d t
echo "exit $?"
