# NOHASH without -d: the mismatch screen.
export TEMP=/tmp
"$TARVOLIN" -n x.txt
