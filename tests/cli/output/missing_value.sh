"$TARVOLIN" abc -o
