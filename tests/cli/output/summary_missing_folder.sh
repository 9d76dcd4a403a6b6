"$TARVOLIN" -u nowhere/sum.txt abc
