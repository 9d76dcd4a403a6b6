# An exclusion file that exists but cannot be read.
mkdir t
python3 -c "import socket; socket.socket(socket.AF_UNIX).bind('exc')"
"$TARVOLIN" -d t -e exc
