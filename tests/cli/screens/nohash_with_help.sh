# Help is never hidden by the mismatch check.
export TEMP=/tmp
"$TARVOLIN" -n -h
