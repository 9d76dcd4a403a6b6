printf "first file\n" > a.txt
python3 -c "import socket; socket.socket(socket.AF_UNIX).bind('sock')"
"$TARVOLIN" -k a.txt sock
