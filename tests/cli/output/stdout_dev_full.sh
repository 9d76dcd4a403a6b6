"$TARVOLIN" abc > /dev/full
