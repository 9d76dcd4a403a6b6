# The text item "abc" with every keyword form of the MurmurHash3_x64_128 row.
for form in '--mh3' '-MH3' '/Mh3' '--MH3' '--murmurhash3_x64' '-MURMURHASH3_x64' '/Murmurhash3_x64' '--MURMURHASH3_X64' '--murmurhash3_x64_128' '-MURMURHASH3_x64_128' '/Murmurhash3_x64_128' '--MURMURHASH3_X64_128' '--murmurhash3' '-MURMURHASH3' '/Murmurhash3' '--MURMURHASH3' '--murmurhash3_128' '-MURMURHASH3_128' '/Murmurhash3_128' '--MURMURHASH3_128'; do
  "$TARVOLIN" "$form" abc
done
