# -m 0: only empty files are hashed.
mkdir -p t/sub/deep
printf a > t/a.txt
printf bb > t/b.log
printf c > t/sub/c.txt
printf d > t/sub/deep/d.txt
: > t/empty.txt
"$TARVOLIN" -m 0 -r -d t
