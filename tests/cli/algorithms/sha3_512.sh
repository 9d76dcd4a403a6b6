# The text item "abc" with every keyword form of the SHA3_512 row.
for form in '--sha3_512' '-SHA3_512' '/Sha3_512' '--SHA3_512'; do
  "$TARVOLIN" "$form" abc
done
