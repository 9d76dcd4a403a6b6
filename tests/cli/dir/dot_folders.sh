# "." and "./" are the current folder, written in full; "t/*.*" is normalised to "t/".
mkdir -p t/sub
printf a > t/a
cd t
"$TARVOLIN" -d .
"$TARVOLIN" -d ./
cd ..
"$TARVOLIN" -d "t/*.*"
"$TARVOLIN" -d "t/sub/.." 
