# Two algorithms: prefixes right-aligned to width 6, MD5 padded to 40, one separator.
"$TARVOLIN" -5 -1 abc
