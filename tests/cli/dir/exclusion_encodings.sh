# Exclusion files with UTF-16 LE, UTF-16 BE and UTF-8 byte-order marks, and without one;
# upper-casing covers non-ASCII letters.
mkdir -p t/Grüße && printf a > t/a.txt && printf g > t/Grüße/g.txt
printf "\xff\xfeG\x00R\x00\xdc\x00\r\x00\n\x00" > le.txt
printf "\xfe\xff\x00G\x00R\x00\xdc\x00\n" > be.txt
printf "\xef\xbb\xbfgrü\r\n" > utf8.txt
printf "GRÜ" > plain.txt
for e in le.txt be.txt utf8.txt plain.txt; do "$TARVOLIN" -r -e $e -d t; done
