# Pipes, sockets, devices and links to them anywhere in a tree are skipped without blocking;
# links to regular files are followed, a broken link is listed and fails.
# windows: FIFOs, sockets and device nodes are POSIX file types
mkdir -p t/sub/deep
printf a > t/a
printf b > t/sub/deep/b
mkfifo t/sub/fifo t/sub/deep/fifo2
python3 -c "import socket; socket.socket(socket.AF_UNIX).bind('t/sub/deep/sock')"
ln -s fifo t/sub/link-to-fifo
ln -s /dev/zero t/sub/deep/zero
ln -s /dev/null t/null
ln -s ../a t/sub/link-to-a
ln -s nowhere t/sub/broken
"$TARVOLIN" -c -r -d t | LC_ALL=C sort
