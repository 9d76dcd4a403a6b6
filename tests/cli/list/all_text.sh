# --all: fourteen lines in output order, prefixes right-aligned, digests padded to 128.
"$TARVOLIN" --all abc
