# The root folder normalises to "/".
"$TARVOLIN" -d / "no-such-file-here-*"
"$TARVOLIN" -d "//" "no-such-file-here-*"
