"$TARVOLIN" -o nowhere/out.txt abc
