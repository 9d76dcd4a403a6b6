# No parameters: banner, the missing-parameter screen and the brief help, all on stderr.
export TEMP=/tmp
"$TARVOLIN"
