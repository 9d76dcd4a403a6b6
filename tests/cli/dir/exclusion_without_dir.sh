"$TARVOLIN" -e x.txt abc
