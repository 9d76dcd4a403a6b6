# Listings that cannot be used: empty, a folder, binary, missing, none given; 107 wins over
# 106. Refused before anything is read: an -o file that is a listing (102), two hash switches
# (66). A listing on standard input finds its names from the current folder; -k wins.
mkdir t
printf abc > t/a
"$TARVOLIN" -f -o good.txt -d t
: > empty.txt
"$TARVOLIN" --check empty.txt
echo "empty: exit $?"
"$TARVOLIN" --check t
echo "folder: exit $?"
printf 'x\0y\n\377\376\n' > binary.bin
"$TARVOLIN" --check binary.bin
echo "binary: exit $?"
"$TARVOLIN" --check good.txt nosuch.txt -o out.txt
echo "two listings: exit $?"
cat out.txt
"$TARVOLIN" --check
echo "none: exit $?"
"$TARVOLIN" --check good.txt -o good.txt
echo "output is a listing: exit $?"
"$TARVOLIN" --check good.txt --md5 --sha1
echo "two switches: exit $?"
"$TARVOLIN" --all --check good.txt
echo "all: exit $?"
(cd t && "$TARVOLIN" --verify - < ../good.txt)
echo "standard input: exit $?"
"$TARVOLIN" -5 -k t/a t/a --check good.txt
echo "compare: exit $?"
