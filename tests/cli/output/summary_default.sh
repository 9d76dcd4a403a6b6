mkdir t
TEMP="$PWD/t" "$TARVOLIN" -u abc
cat "t/#Tarvolin_Summary.TXT"
