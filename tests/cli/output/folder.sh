mkdir d
"$TARVOLIN" -o d abc
