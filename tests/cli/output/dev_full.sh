"$TARVOLIN" -o /dev/full abc
