# -v with an error: the banner carries the build line.
export TEMP=/tmp
"$TARVOLIN" -n -v
