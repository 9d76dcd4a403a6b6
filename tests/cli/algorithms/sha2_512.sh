# The text item "abc" with every keyword form of the SHA2_512 row.
for form in '--512' '-512' '/512' '--512' '--sha512' '-SHA512' '/Sha512' '--SHA512' '--sha2_512' '-SHA2_512' '/Sha2_512' '--SHA2_512'; do
  "$TARVOLIN" "$form" abc
done
