# Help wins over everything: nothing is compared, hashed or written.
export TEMP=/tmp
printf x > a
"$TARVOLIN" -h -k a a -o out.txt
rc=$?
ls
exit $rc
