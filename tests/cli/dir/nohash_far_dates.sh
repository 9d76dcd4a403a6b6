# NOHASH: a file time in year 10000 or later, or before year 1, does not fit the four-digit
# date of the fixed-width column: the fallback date is shown instead.
# windows: file times beyond year 9999 are set through a POSIX tmpfs
folder=$(mktemp -d /dev/shm/tarvolin-case.XXXXXX 2>/dev/null) ||
  { echo "SKIPPED LOUDLY: no tmpfs at /dev/shm to hold far file times"; exit 0; }
trap 'rm -rf "$folder"' EXIT
printf a > "$folder/late"
printf b > "$folder/early"
printf c > "$folder/last"
python3 - "$folder" <<'PY' || { echo "SKIPPED LOUDLY: the file system refuses far file times"; exit 0; }
import os, sys
times = {"late": 253402300800, "early": -62167219200 - 40 * 86400, "last": 253402214400}
for name, t in times.items():
    path = os.path.join(sys.argv[1], name)
    os.utime(path, (t, t))
    assert os.stat(path).st_mtime == t
PY
TZ=UTC "$TARVOLIN" -n -i -d "$folder" | LC_ALL=C sort
