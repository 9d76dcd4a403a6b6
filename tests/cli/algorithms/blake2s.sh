# The text item "abc" with every keyword form of the Blake2S row.
for form in '--blake2s' '-BLAKE2S' '/Blake2s' '--BLAKE2S'; do
  "$TARVOLIN" "$form" abc
done
