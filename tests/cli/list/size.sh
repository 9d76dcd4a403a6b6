# -z: the size right-aligned in 12 characters inside braces.
printf abcde > five.txt
"$TARVOLIN" -z five.txt abc
