# Windows: the exclusion line names the folder with its native separator.
# With -w the not-found line goes to the output.
mkdir -p t/sub/deep
printf a > t/a.txt
printf bb > t/b.log
printf c > t/sub/c.txt
printf d > t/sub/deep/d.txt
printf '%s\n' 't\' > exc.txt
"$TARVOLIN" -w -r -e exc.txt -d t '*.txt' '*.log'
