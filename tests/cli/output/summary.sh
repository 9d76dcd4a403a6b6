"$TARVOLIN" -u sum.txt abc def
cat sum.txt
