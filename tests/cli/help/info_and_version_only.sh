# --version-only wins over --info.
"$TARVOLIN" --info --version-only
