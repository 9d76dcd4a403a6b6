# Without -r only the folder itself is searched.
mkdir -p t/sub/deep
printf a > t/a.txt
printf bb > t/b.log
printf c > t/sub/c.txt
printf d > t/sub/deep/d.txt
"$TARVOLIN" -d t '*.txt'
