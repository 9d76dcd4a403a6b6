# -b with -s: the banner is shown once (before -s withdraws the request).
"$TARVOLIN" -b -s abc
