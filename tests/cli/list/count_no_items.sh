# Only -c: no items, "Count = 0".
"$TARVOLIN" -c
