# An exclusion list that never ends is read only up to its size limit, 256 MiB.
# windows: /dev/zero is a POSIX device
mkdir t
"$TARVOLIN" -d t -e /dev/zero
