"$TARVOLIN" -5 -2 abc
