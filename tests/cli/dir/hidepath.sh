# -i: the file name only, one blank between digest and name.
mkdir -p t/sub/deep
printf a > t/a.txt
printf bb > t/b.log
printf c > t/sub/c.txt
printf d > t/sub/deep/d.txt
"$TARVOLIN" -i -r -d t '*.txt'
