# Started with standard input, output or error closed, the program never lets a file it opens
# take their place: messages meant for standard error do not reach the -o file, a closed
# standard output still fails (72) without repeating lines in the -o file.
# windows: closed descriptors 0 to 2 are a POSIX matter
mkdir t
printf 1 > t/one
"$TARVOLIN" -c -o out.txt -d t 'nomatch*' 2>&-
echo "exit $?"
cat out.txt
"$TARVOLIN" -t -o out.txt abc >&-
echo "exit $?"
cat out.txt
"$TARVOLIN" -c -o out.txt abc <&-
echo "exit $?"
cat out.txt
