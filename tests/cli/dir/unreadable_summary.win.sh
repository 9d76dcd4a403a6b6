# Windows: three files, one unreadable: summary 2,3,1,FALSE (with its CR LF); the exit code
# stays 0. Wine does not list a broken link, but it lists a FIFO as a file that cannot be read.
mkdir t
printf a > t/a
mkfifo t/broken
"$TARVOLIN" -u sum.txt -c -d t 'a' 'broken' >/dev/null
printf b > t/b
"$TARVOLIN" -u sum.txt -d t | sort
od -c sum.txt | head -n 2
