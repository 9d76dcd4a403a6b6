# Three files, one unreadable (a broken link): summary 2,3,1,FALSE; the exit code stays 0.
mkdir t
printf a > t/a
ln -s missing-target t/broken
"$TARVOLIN" -u sum.txt -c -d t 'a' 'broken' >/dev/null
printf b > t/b
"$TARVOLIN" -u sum.txt -d t | sort
cat sum.txt
