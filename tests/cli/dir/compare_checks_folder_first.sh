# -k with a missing -d folder: exit 100 before any comparison.
printf x > a
"$TARVOLIN" -k a a -d missing
