# Links that lead back up the tree end the walk instead of looping: a folder already open on
# the way down is not entered again. A link to a folder elsewhere is followed.
mkdir -p t/a/b other
printf 1 > t/f1
printf 2 > t/a/f2
printf 3 > t/a/b/f3
printf 4 > other/f4
ln -s . t/self
ln -s .. t/a/up
ln -s ../../a t/a/b/loop
ln -s "$PWD/t" t/a/b/root
ln -s ../other t/elsewhere
timeout 20 "$TARVOLIN" -c -r -d t | LC_ALL=C sort
echo "exit ${PIPESTATUS[0]}"
