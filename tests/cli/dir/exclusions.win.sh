# Windows: the exclusion line names the folder with its native separator.
# A line naming a folder excludes everything below it; "temp" also matches "attempt";
# matching ignores letter case.
mkdir -p t/sub/deep
printf a > t/a.txt
printf bb > t/b.log
printf c > t/sub/c.txt
printf d > t/sub/deep/d.txt
printf x > t/attempt.txt
mkdir t/Temp && printf y > t/Temp/y.txt
printf '%s\n' 'SUB\' temp > exc.txt
"$TARVOLIN" -c -r -e exc.txt -d t | sort
