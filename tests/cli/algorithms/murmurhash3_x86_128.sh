# The text item "abc" with every keyword form of the MurmurHash3_x86_128 row.
for form in '--murmurhash3_x86' '-MURMURHASH3_x86' '/Murmurhash3_x86' '--MURMURHASH3_X86' '--murmurhash3_x86_128' '-MURMURHASH3_x86_128' '/Murmurhash3_x86_128' '--MURMURHASH3_X86_128'; do
  "$TARVOLIN" "$form" abc
done
