# Listings of b3sum (checked with --blake3) and xxhsum -H1 (64-bit digests, plain and --tag)
# check OK.
for tool in b3sum xxhsum; do
  command -v $tool >/dev/null || { echo "SKIPPED LOUDLY: $tool is not installed"; exit 0; }
done
mkdir t
printf abc > t/a
printf '' > 't/b c'
head -c 300000 /dev/zero > t/big
cd t
b3sum -- * > ../b3sum.txt
"$TARVOLIN" --blake3 --check ../b3sum.txt
echo "b3sum exit $?"
xxhsum -H1 -- * > ../xxhsum.txt 2>/dev/null
xxhsum -H1 --tag -- * >> ../xxhsum.txt 2>/dev/null
"$TARVOLIN" -c --quiet --check ../xxhsum.txt
echo "xxhsum exit $?"
