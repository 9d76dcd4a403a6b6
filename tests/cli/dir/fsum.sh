# -f: names relative to the folder, checksum-file tags, no separator lines.
mkdir -p t/sub/deep
printf a > t/a.txt
printf bb > t/b.log
printf c > t/sub/c.txt
printf d > t/sub/deep/d.txt
"$TARVOLIN" -f -5 -2 -r -d "$PWD/t" '*.txt'
