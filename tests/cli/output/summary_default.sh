mkdir t
TEMP="$PWD/t" "$TARVOLIN" abc -u
cat "t/#Tarvolin_Summary.TXT"
