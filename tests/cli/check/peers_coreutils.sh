# Listings written by coreutils' tools, with and without --tag, check OK (from another folder:
# their names are found from the listing's folder); an untagged b2sum listing with --blake2b.
# Tarvolin's MD5 -f listing checks OK with md5sum -c.
for tool in md5sum sha1sum sha256sum sha512sum b2sum cksum; do
  command -v $tool >/dev/null || { echo "SKIPPED LOUDLY: $tool is not installed"; exit 0; }
done
mkdir t
printf abc > t/a
printf '' > 't/b c'
printf x > t/-x
files=(a 'b c' -x)
for tool in md5sum sha1sum sha256sum sha512sum; do
  (cd t && $tool -- "${files[@]}" > $tool.txt && $tool --tag -- "${files[@]}" > $tool-tag.txt)
  "$TARVOLIN" -c --quiet --check t/$tool.txt t/$tool-tag.txt
  echo "$tool exit $?"
done
(cd t && b2sum --tag -- "${files[@]}" > b2sum-tag.txt && b2sum -- "${files[@]}" > b2sum.txt)
"$TARVOLIN" -c --quiet --check t/b2sum-tag.txt
echo "b2sum --tag exit $?"
"$TARVOLIN" -c --quiet --blake2b --check t/b2sum.txt
echo "b2sum exit $?"
(cd t && cksum -a sha256 -- "${files[@]}" > cksum.txt && cksum -a blake2b -- "${files[@]}" >> cksum.txt)
"$TARVOLIN" -c --quiet --check t/cksum.txt
echo "cksum -a exit $?"
rm t/*.txt
"$TARVOLIN" -5 -f -o t.md5 -d t
LC_ALL=C sort -t "*" -k 2,2 -o t.md5 t.md5
(cd t && tr -d '\r' < ../t.md5 | md5sum -c -)
echo "md5sum -c exit $?"
