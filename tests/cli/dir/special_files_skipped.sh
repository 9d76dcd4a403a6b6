# Pipes and sockets in a tree are skipped without blocking; links to files are followed.
# windows: FIFOs and Unix domain sockets are POSIX file types
mkdir t
printf a > t/a
mkfifo t/fifo
python3 -c "import socket; socket.socket(socket.AF_UNIX).bind('t/sock')"
ln -s a t/link
"$TARVOLIN" -c -d t | sort
