# -f: only the leading folder text is left out (the same text further on is part of the name),
# and the names are relative to the folder however it is spelled.
mkdir -p src/lib/src src/mysrc sub
printf a > src/lib/src/a.c
printf b > src/lib/a.c
printf c > src/mysrc/b.c
printf x > sub/b.txt
"$TARVOLIN" -5 -f -r -d src | LC_ALL=C sort
for folder in ./sub sub/ sub// "$PWD/./sub" "$PWD/src/../sub"; do
  "$TARVOLIN" -5 -f -d "$folder"
done
cd sub
"$TARVOLIN" -5 -f -d .
"$TARVOLIN" -5 -f -r -d .. '*.c' | LC_ALL=C sort
