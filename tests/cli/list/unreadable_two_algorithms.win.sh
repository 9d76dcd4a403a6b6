# Windows: a file another process is writing cannot be opened for reading, for either
# algorithm. Wine's cmd holds the file open for writing while "more" waits for its input.
mkfifo hold
wine cmd /c "more > locked" <hold &
exec 3>hold
for i in $(seq 1 200); do [ -e locked ] && break; sleep 0.05; done
"$TARVOLIN" -5 -2 -c locked
exec 3>&-
wait
