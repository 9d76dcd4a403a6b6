# -b alone: the banner, nothing hashed, exit 0.
"$TARVOLIN" -b
