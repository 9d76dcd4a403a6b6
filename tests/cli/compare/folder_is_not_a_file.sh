printf x > a.txt
mkdir d
"$TARVOLIN" -k a.txt d
"$TARVOLIN" -k missing a.txt
