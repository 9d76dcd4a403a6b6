"$TARVOLIN" abc
