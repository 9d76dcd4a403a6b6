# Listings written by coreutils' tools, with and without --tag, check OK; an untagged b2sum
# listing with --blake2b. Tarvolin's MD5 -f listing checks OK with md5sum -c.
for tool in md5sum sha1sum sha256sum sha512sum b2sum cksum; do
  command -v $tool >/dev/null || { echo "SKIPPED LOUDLY: $tool is not installed"; exit 0; }
done
mkdir t
printf abc > t/a
printf '' > 't/b c'
printf x > t/-x
cd t
for tool in md5sum sha1sum sha256sum sha512sum; do
  $tool -- * > ../$tool.txt
  $tool --tag -- * > ../$tool-tag.txt
  "$TARVOLIN" -c --quiet --check ../$tool.txt ../$tool-tag.txt
  echo "$tool exit $?"
done
b2sum --tag -- * > ../b2sum-tag.txt
"$TARVOLIN" -c --quiet --check ../b2sum-tag.txt
echo "b2sum --tag exit $?"
b2sum -- * > ../b2sum.txt
"$TARVOLIN" -c --quiet --blake2b --check ../b2sum.txt
echo "b2sum exit $?"
cksum -a sha256 -- * > ../cksum.txt && cksum -a blake2b -- * >> ../cksum.txt
"$TARVOLIN" -c --quiet --check ../cksum.txt
echo "cksum -a exit $?"
cd ..
"$TARVOLIN" -5 -f -o t.md5 -d t
(cd t && tr -d '\r' < ../t.md5 | md5sum -c -)
echo "md5sum -c exit $?"
