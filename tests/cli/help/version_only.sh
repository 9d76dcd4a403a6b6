"$TARVOLIN" --version-only
"$TARVOLIN" --build-only
