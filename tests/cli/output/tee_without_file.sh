"$TARVOLIN" -t abc
