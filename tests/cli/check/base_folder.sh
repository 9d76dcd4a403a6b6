# Relative names are found from the listing's folder, or from the -d folder when one is given;
# absolute names as written; a name written on Windows (backslashes) is found too. The listing
# itself is not reported as new by an audit.
# windows: the backslash fallback is for POSIX; absolute POSIX paths
mkdir -p data/sub elsewhere
printf abc > data/sub/a
"$TARVOLIN" -f -r -o data/list.txt -d data
cp -r data copy
printf abd > copy/sub/a
cd elsewhere
"$TARVOLIN" --check ../data/list.txt
echo "exit $?"
"$TARVOLIN" --check ../data/list.txt -d ../copy
echo "exit $?"
"$TARVOLIN" -r --check ../data/list.txt -d ../data
echo "exit $?"
printf 'ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad  %s/data/sub/a\nba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad  sub\\a\n' "$(cd .. && pwd)" > ../data/more.txt
"$TARVOLIN" --check ../data/more.txt
echo "exit $?"
