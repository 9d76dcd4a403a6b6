# -f -p with SHA1: the name tag before the digest, the checksum-file tag after it.
mkdir -p t/sub/deep
printf a > t/a.txt
printf bb > t/b.log
printf c > t/sub/c.txt
printf d > t/sub/deep/d.txt
"$TARVOLIN" -f -p -1 -d "$PWD/t" '*.txt'
