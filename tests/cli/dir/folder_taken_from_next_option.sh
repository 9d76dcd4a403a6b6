# -d followed directly by -r takes "-r" as its folder.
"$TARVOLIN" -d -r
