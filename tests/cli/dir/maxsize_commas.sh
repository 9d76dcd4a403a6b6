# -m with thousands separators.
mkdir t
truncate -s 1234567 t/small
truncate -s 1234568 t/large
"$TARVOLIN" -m "1,234,567" -5 -d t
"$TARVOLIN" -m "1.234.567" -5 -d t
