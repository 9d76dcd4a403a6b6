# A copy under another name shows that name everywhere the program names itself.
export TEMP=/tmp
mkdir "my dir"
cp "$TARVOLIN" "my dir/HASHER"
"my dir/HASHER" 2>&1
"my dir/HASHER" --h2 2>/dev/null | grep -n "HASHER"
