# An exclusion file that exists but cannot be read.
# windows: a Unix domain socket in the file's place; Windows has no such file type
mkdir t
python3 -c "import socket; socket.socket(socket.AF_UNIX).bind('exc')"
"$TARVOLIN" -d t -e exc
