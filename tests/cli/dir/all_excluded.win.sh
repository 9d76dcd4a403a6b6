# Windows: the exclusion line names the folder with its native separator.
# Every file excluded: no result lines, the not-found line on stderr; -c shows Success 0.
mkdir -p t/sub/deep
printf a > t/a.txt
printf bb > t/b.log
printf c > t/sub/c.txt
printf d > t/sub/deep/d.txt
printf '%s\n' 't\' > exc.txt
"$TARVOLIN" -c -r -e exc.txt -d t
