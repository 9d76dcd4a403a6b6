# --version: name and version, then the build line, on standard output. It ranks after
# --version-only and before --info, and is no text to hash.
"$TARVOLIN" --version
"$TARVOLIN" --info -Version abc
"$TARVOLIN" --version --version-only
