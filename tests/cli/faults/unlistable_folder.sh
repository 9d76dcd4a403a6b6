# A folder that cannot be listed is reported on standard error and counted as an error (in the
# counters and the summary file), the walk goes on; a file that cannot be opened gives the
# denied marker. Root reads everything, so as root the program runs without
# the capabilities that override file permissions.
# windows: Unix permissions; under Wine the files are opened by its server, with its rights
mkdir -p t/locked/inner t/open
printf a > t/open/a
printf b > t/locked/b
printf s > t/secret
chmod 000 t/locked t/secret
if [ "$(id -u)" = 0 ]; then
  run() { setpriv --inh-caps=-dac_override,-dac_read_search \
            --bounding-set=-dac_override,-dac_read_search "$TARVOLIN" "$@"; }
  if ! run --version-only >/dev/null 2>&1; then
    echo "SKIPPED LOUDLY: cannot drop the file-permission capabilities with setpriv"
    exit 0
  fi
else
  run() { "$TARVOLIN" "$@"; }
fi
run -c -r -u sum.txt -d t | LC_ALL=C sort
echo "exit ${PIPESTATUS[0]}"
cat sum.txt
run -c -d t/locked
echo "exit $?"
