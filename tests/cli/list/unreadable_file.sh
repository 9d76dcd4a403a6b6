# A file that cannot be read gives the denied marker and counts as an error; the text
# item counts as a success.
python3 -c "import socket; socket.socket(socket.AF_UNIX).bind('sock')"
"$TARVOLIN" -c -u sum.txt sock abc
echo "summary: $(cat sum.txt)"
