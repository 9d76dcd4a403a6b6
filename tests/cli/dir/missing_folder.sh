"$TARVOLIN" -d missing abc
