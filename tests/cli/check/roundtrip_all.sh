# An --all listing (digests padded with blanks, fourteen lines per file, MD5 without a tag)
# checks OK, each line naming its algorithm; so does a listing of -f -i (one blank, no tag).
mkdir t
printf abc > t/a
printf '' > 't/b c'
"$TARVOLIN" --all -f -o all.txt -d t
"$TARVOLIN" --check all.txt -c
echo "exit $?"
"$TARVOLIN" -f -i -o t/hidden.txt -d t
"$TARVOLIN" --check t/hidden.txt
echo "exit $?"
