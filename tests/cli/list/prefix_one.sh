# -p with one algorithm writes its name tag.
"$TARVOLIN" -p -5 abc
