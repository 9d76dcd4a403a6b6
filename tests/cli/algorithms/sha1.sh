# The text item "abc" with every keyword form of the SHA1 row.
for form in '-1' '/1' '--sha1' '-SHA1' '/Sha1' '--SHA1'; do
  "$TARVOLIN" "$form" abc
done
