# The typical run: MD5 over a tree, *.txt only; a folder's files before its subfolders'.
mkdir -p t/sub/deep
printf a > t/a.txt
printf bb > t/b.log
printf c > t/sub/c.txt
printf d > t/sub/deep/d.txt
"$TARVOLIN" -5 -r -d "$PWD/t" '*.txt'
