python3 -c "import socket; socket.socket(socket.AF_UNIX).bind('sock')"
"$TARVOLIN" -5 -2 -c sock
