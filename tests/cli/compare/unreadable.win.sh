# Windows: the second file is being written by another process, so it cannot be opened for
# reading: an ERROR line with the marker in its place. Wine's cmd holds the file open for
# writing while "more" waits for its input.
printf "first file\n" > a.txt
mkfifo hold
wine cmd /c "more > locked" <hold &
exec 3>hold
for i in $(seq 1 200); do [ -e locked ] && break; sleep 0.05; done
"$TARVOLIN" -k a.txt locked
exec 3>&-
wait
