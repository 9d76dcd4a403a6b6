# Every algorithm's -f listing of a tree (names with blanks, a leading dash, non-ASCII) checks
# OK, from another folder: relative names are found from the listing's folder.
mkdir -p t/sub o
printf abc > t/a
printf '' > 't/b c'
printf x > t/-d
printf 'h\xc3\xa9' > "t/sub/caf$(printf '\xc3\xa9')"
for hash in --md5 --sha1 --sha256 --sha384 --sha512 --sha3_256 --sha3_384 --sha3_512 --blake2s \
  --blake2b --blake3 --xxhash64 --murmurhash3_x86 --murmurhash3_x64; do
  "$TARVOLIN" $hash -f -r -o "o/list$hash" -d t
  "$TARVOLIN" --quiet -c --check "o/list$hash"
  echo "$hash exit $?"
done
cd o
"$TARVOLIN" --check list--sha256
echo "exit $?"
