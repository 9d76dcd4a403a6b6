# -h: banner on stderr, the normal help on stdout, exit 255.
export TEMP=/tmp
"$TARVOLIN" -h
