# --h2, --help2, --?? and -h -v all give the extended help; -v adds the build line.
export TEMP=/tmp
for args in --h2 --help2 "--??" "-h -v" "/? /V"; do
  "$TARVOLIN" $args; echo "exit $?"
done
