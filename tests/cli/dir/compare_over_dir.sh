# -k with -d and -l: only the comparison runs.
printf x > a
mkdir t && printf y > t/y
"$TARVOLIN" -5 -k a a -d t -l
