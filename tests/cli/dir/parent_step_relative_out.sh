# A -d value with ".." steps makes that folder the current one before the output file is
# opened: the relative -o name is a file in t, not in the folder the run started in (and, being
# in the tree, it is left out of the walk).
mkdir -p t/sub
printf a > t/a
"$TARVOLIN" -i -o out.txt -d t/sub/..
find . -type f | LC_ALL=C sort
tr -d '\r' < t/out.txt
