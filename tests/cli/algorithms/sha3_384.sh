# The text item "abc" with every keyword form of the SHA3_384 row.
for form in '--sha3_384' '-SHA3_384' '/Sha3_384' '--SHA3_384'; do
  "$TARVOLIN" "$form" abc
done
