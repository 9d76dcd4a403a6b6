# The text item "abc" with every keyword form of the MD5 row.
for form in '-5' '/5' '--md5' '-MD5' '/Md5' '--MD5'; do
  "$TARVOLIN" "$form" abc
done
