# -f -p in LIST mode: name tag before the digest, file lines keep their {File} tag.
printf abcde > five.txt
"$TARVOLIN" -f -p -1 five.txt
