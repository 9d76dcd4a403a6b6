# The default summary file lies in a folder every user may write to. What another user planted
# under its name is refused (exit 105, the results still written): a link (never written
# through), a pipe (never waited on), a file with a second name, a file of another user. Its
# own earlier summary is replaced; a name the user gives is written as before.
# windows: links, pipes, hard links and file owners as planted here are POSIX
if [ "$(id -u)" != 0 ] || ! id nobody >/dev/null 2>&1; then
  echo "SKIPPED LOUDLY: planting a file of another user needs root and the user nobody"
  exit 0
fi
mkdir t
summary="t/#Tarvolin_Summary.TXT"
run() { TEMP="$PWD/t" "$TARVOLIN" abc -u >/dev/null; echo "exit $?"; }
echo precious > victim
ln -s "$PWD/victim" "$summary"
run
cat victim
rm "$summary"
mkfifo "$summary"
run
rm "$summary"
echo planted > "$summary"
ln "$summary" t/second-name
run
cat t/second-name
rm t/second-name "$summary"
echo planted > "$summary"
chown nobody "$summary"
run
cat "$summary"
rm "$summary"
run
cat "$summary"
run
ln -s "$PWD/victim" given
"$TARVOLIN" abc -u given >/dev/null
cat victim
