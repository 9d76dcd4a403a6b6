# The text item "abc" with every keyword form of the SHA2_256 row.
for form in '-2' '/2' '--sha2' '-SHA2' '/Sha2' '--SHA2' '--sha256' '-SHA256' '/Sha256' '--SHA256' '--sha2_256' '-SHA2_256' '/Sha2_256' '--SHA2_256'; do
  "$TARVOLIN" "$form" abc
done
