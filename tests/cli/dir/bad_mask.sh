# A malformed character set in a wildcard is reported before anything is hashed.
mkdir t && printf a > t/a
"$TARVOLIN" -d t "[a-"
