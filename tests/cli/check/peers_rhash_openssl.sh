# Listings of rhash --bsd (several algorithms, blanks before the name) and openssl dgst
# (ALGO(NAME)= HEX) check OK.
for tool in rhash openssl; do
  command -v $tool >/dev/null || { echo "SKIPPED LOUDLY: $tool is not installed"; exit 0; }
done
mkdir t
printf abc > t/a
printf '' > 't/b c'
cd t
rhash --bsd --md5 --sha1 --sha256 --sha512 --sha3-256 --sha3-512 --blake2b --blake2s -- a 'b c' \
  > rhash.txt
for algorithm in md5 sha1 sha256 sha384 sha512 sha3-256 sha3-384 sha3-512 blake2b512 \
  blake2s256; do
  openssl dgst -$algorithm a 'b c' >> openssl.txt
done
cd ..
"$TARVOLIN" -c --quiet --check t/rhash.txt
echo "rhash exit $?"
"$TARVOLIN" -c --quiet --check t/openssl.txt
echo "openssl exit $?"
