# Listings of b3sum (checked with --blake3) and xxhsum -H1 (64-bit digests, plain and --tag)
# check OK.
for tool in b3sum xxhsum; do
  command -v $tool >/dev/null || { echo "SKIPPED LOUDLY: $tool is not installed"; exit 0; }
done
mkdir t
printf abc > t/a
printf '' > 't/b c'
head -c 300000 /dev/zero > t/big
files=(a 'b c' big)
(cd t && b3sum -- "${files[@]}" > b3sum.txt)
"$TARVOLIN" --blake3 --check t/b3sum.txt
echo "b3sum exit $?"
(cd t && xxhsum -H1 -- "${files[@]}" > xxhsum.txt && xxhsum -H1 --tag -- "${files[@]}" >> xxhsum.txt) 2>/dev/null
"$TARVOLIN" -c --quiet --check t/xxhsum.txt
echo "xxhsum exit $?"
