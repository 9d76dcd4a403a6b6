# The text item "abc" with every keyword form of the Blake2B row.
for form in '--blk2' '-BLK2' '/Blk2' '--BLK2' '--blake2b' '-BLAKE2B' '/Blake2b' '--BLAKE2B' '--blake2' '-BLAKE2' '/Blake2' '--BLAKE2'; do
  "$TARVOLIN" "$form" abc
done
