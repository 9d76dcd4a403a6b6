# The text item "abc" with every keyword form of the SHA3_256 row.
for form in '-3' '/3' '--sha3' '-SHA3' '/Sha3' '--SHA3' '--sha3_256' '-SHA3_256' '/Sha3_256' '--SHA3_256'; do
  "$TARVOLIN" "$form" abc
done
