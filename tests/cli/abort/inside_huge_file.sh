# CTRL-C (SIGINT) or SIGTERM while a huge file is read stops the run within a second: the file
# being read gets no line, the files before it keep theirs, then a line break and "Processing
# Aborted...  ", exit 252, no counters and no summary.
# windows: a 1 TiB sparse file and POSIX signals; the Windows abort path is covered by dir_sigint
mkdir -p t/z
printf 1 > t/one
truncate -s 1T t/z/huge || { echo "SKIPPED LOUDLY: no sparse 1 TiB file here"; exit 0; }
for signal in INT TERM; do
  rm -f out.txt
  # Background jobs of a script ignore SIGINT; restore the default before starting the program.
  perl -e '$SIG{INT} = "DEFAULT"; exec @ARGV' "$TARVOLIN" -c -u sum.txt -o out.txt -r -d t &
  pid=$!
  # Files of a folder come before its subfolders': wait until the huge file is being read.
  for i in $(seq 1 100); do
    ls -l /proc/$pid/fd 2>/dev/null | grep -q '/huge$' && break
    sleep 0.05
  done
  start=$(date +%s%N)
  kill -$signal "$pid"
  ( sleep 10; kill -KILL "$pid" 2>/dev/null ) &
  watchdog=$!
  wait "$pid"
  echo "SIG$signal: exit $?"
  kill "$watchdog" 2>/dev/null
  elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
  [ "$elapsed" -lt 1000 ] && echo "stopped within a second" || echo "took $elapsed ms"
  cat out.txt
  [ -e sum.txt ] && echo "summary written" || echo "no summary"
done
