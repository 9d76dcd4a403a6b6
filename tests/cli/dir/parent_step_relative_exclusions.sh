# A -d value with ".." steps makes that folder the current one before the exclusion list is
# read: the relative -e name is t/exc.txt (which leaves out skip-here and itself), not the
# exc.txt of the folder the run started in (which would leave out skip-start).
mkdir -p t/sub
printf a > t/keep.txt
printf b > t/skip-here.txt
printf c > t/skip-start.txt
printf 'skip-start\n' > exc.txt
printf 'skip-here\nexc.txt\n' > t/exc.txt
"$TARVOLIN" -i -e exc.txt -d t/sub/.. | LC_ALL=C sort
