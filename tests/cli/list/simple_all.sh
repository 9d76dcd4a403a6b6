# -s: no prefixes and no separator line.
"$TARVOLIN" -s --all abc
