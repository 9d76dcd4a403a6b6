# Arguments with blanks, and empty ones, are quoted on the screen.
export TEMP=/tmp
"$TARVOLIN" -n "two words" ""
