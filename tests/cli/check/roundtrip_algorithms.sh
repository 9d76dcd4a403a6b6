# Every algorithm's -f listing of a tree (names with blanks, a leading dash, non-ASCII) checks
# OK against the tree's folder given with -d (an audit: nothing new); a listing kept in the tree
# checks OK from another folder, its names found from the listing's folder.
mkdir -p t/sub o
printf abc > t/a
printf '' > 't/b c'
printf x > t/-d
printf 'h\xc3\xa9' > "t/sub/caf$(printf '\xc3\xa9')"
for hash in --md5 --sha1 --sha256 --sha384 --sha512 --sha3_256 --sha3_384 --sha3_512 --blake2s \
  --blake2b --blake3 --xxhash64 --murmurhash3_x86 --murmurhash3_x64; do
  "$TARVOLIN" $hash -f -r -o "o/list$hash" -d t
  "$TARVOLIN" --quiet -c -r --check "o/list$hash" -d t
  echo "$hash exit $?"
done
"$TARVOLIN" -f -r -o t/list.txt -d t
LC_ALL=C sort -t '*' -k 2,2 -o t/list.txt t/list.txt
cd o
"$TARVOLIN" --check ../t/list.txt
echo "exit $?"
