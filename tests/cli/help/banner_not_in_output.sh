"$TARVOLIN" -b -o out.txt abc
echo "-- file:"
cat out.txt
