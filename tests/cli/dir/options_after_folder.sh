# Arguments after the folder are wildcards ("-r;*.txt"), and -r still takes effect.
mkdir -p t/sub/deep
printf a > t/a.txt
printf bb > t/b.log
printf c > t/sub/c.txt
printf d > t/sub/deep/d.txt
printf r > t/sub/-r
"$TARVOLIN" -d t -r '*.txt' | sort
