"$TARVOLIN" -o out.txt -t abc
echo "-- file:"
cat out.txt
