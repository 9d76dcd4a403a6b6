# NOHASH: the quoted last-write time, 21 characters, local time.
mkdir t
printf a > t/a
touch -d "2024-03-05 14:45:10" t/a
printf b > t/b
touch -d "2024-11-30 00:05:00" t/b
TZ=UTC "$TARVOLIN" -n -d t | sort
TZ=UTC "$TARVOLIN" --all -n -p -d t a
