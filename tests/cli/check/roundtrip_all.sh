# An --all listing (digests padded with blanks, fourteen lines per file, MD5 without a tag)
# checks OK, each line naming its algorithm; so does a listing of -f -i (one blank, no tag).
mkdir t
printf abc > t/a
printf '' > 't/b c'
"$TARVOLIN" --all -f -o t/all.txt -d t
LC_ALL=C sort -s -t '*' -k 2,2 -o t/all.txt t/all.txt
"$TARVOLIN" --check t/all.txt -c
echo "exit $?"
"$TARVOLIN" -f -i -o t/hidden.txt -d t
LC_ALL=C sort -t ' ' -k 2 -o t/hidden.txt t/hidden.txt
"$TARVOLIN" --check t/hidden.txt
echo "exit $?"
