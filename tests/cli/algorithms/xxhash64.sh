# The text item "abc" with every keyword form of the XXHash64 row.
for form in '--xx64' '-XX64' '/Xx64' '--XX64' '--xxhash64' '-XXHASH64' '/Xxhash64' '--XXHASH64'; do
  "$TARVOLIN" "$form" abc
done
