# Lines of every layout in one listing: comments, a byte-order mark, CR LF, upper-case hex,
# tagged lines (sha*sum --tag, openssl dgst, b2sum --tag...) and untagged ones decided by their
# length; a listing mixing algorithms names the algorithm on each line. Malformed lines are
# reported with their line numbers and counted; what was checked still reaches the -o file.
mkdir t
printf abc > t/a
printf '\xef\xbb\xbf# made by hand\n; a comment\n\n' > list.txt
printf '900150983CD24FB0D6963F7D28E17F72  t/a\n' >> list.txt
printf 'SHA256 (t/a) = ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\r\n' >> list.txt
printf 'SHA2-256(t/a)= ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\n' >> list.txt
printf 'BLAKE3 (t/a) = 6437b3ac38465133ffb63b75273a8db548c558465d79db03fd359c6cd5bd9d85\n' >> list.txt
printf 'XXH64 (t/a) = 44bc2cf5ad770999\n' >> list.txt
printf 'a9993e364706816aba3e25717850c26c9cd0d89d t/a\n' >> list.txt
printf 'not a checksum line at all\n' >> list.txt
printf '0123 t/a\n' >> list.txt
printf 'BLAKE2b-256 (t/a) = ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\n' >> list.txt
printf 'CRC32 (t/a) = 352441c2\n' >> list.txt
"$TARVOLIN" --check list.txt -o out.txt
echo "exit $?"
cat out.txt
# An untagged line takes the one hash switch given; a digest of another length is malformed.
printf '6437b3ac38465133ffb63b75273a8db548c558465d79db03fd359c6cd5bd9d85  t/a\n' > b3.txt
"$TARVOLIN" --blake3 --check b3.txt
echo "exit $?"
"$TARVOLIN" --md5 --check b3.txt
echo "exit $?"
