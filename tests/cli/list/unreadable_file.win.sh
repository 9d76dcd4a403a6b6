# Windows: a file another process is writing cannot be opened for reading (it is opened
# denying others write access): the denied marker, counted as an error; the text item counts
# as a success. Wine's cmd holds the file open for writing while "more" waits for its input.
mkfifo hold
wine cmd /c "more > locked" <hold &
exec 3>hold
for i in $(seq 1 200); do [ -e locked ] && break; sleep 0.05; done
"$TARVOLIN" -c -u sum.txt locked abc
exec 3>&-
wait
echo "summary: $(cat sum.txt)"
