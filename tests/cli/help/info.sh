"$TARVOLIN" --info
