# Two algorithms: prefixes and a separator after each file.
mkdir -p t/sub/deep
printf a > t/a.txt
printf bb > t/b.log
printf c > t/sub/c.txt
printf d > t/sub/deep/d.txt
"$TARVOLIN" -5 -2 -d t '*.txt'
