# The text item "abc" with every keyword form of the Blake3 row.
for form in '--blk3' '-BLK3' '/Blk3' '--BLK3' '--blake3' '-BLAKE3' '/Blake3' '--BLAKE3'; do
  "$TARVOLIN" "$form" abc
done
