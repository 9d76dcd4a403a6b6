#!/usr/bin/env bash
# Stands in for the program in the command-line cases of the Windows build: runs tarvolin.exe
# ($TARVOLIN_EXE) under Wine with the same arguments, standard input, exit code and signals, and
# checks that every line it writes to a pipe or a file ends with CR LF.
#
# The check: each complete line of standard output and standard error must end with CR LF; the
# CR is removed on the way, so the case compares the same text as on POSIX. A line ending in a
# bare LF is passed on as it is and reported in $TARVOLIN_CRLF_LOG, which fails the case. Output
# to a character device (a terminal, /dev/null, /dev/full) goes straight to it, unchecked.
#
# Called under another name (a case's renamed copy of this script), it runs a copy of the
# program under that name, "<name>.exe" beside it, so the program sees the name it was given.
set -u
exe=${TARVOLIN_EXE:?TARVOLIN_EXE names the Windows program}
if [ "$(basename "$0")" != tarvolin ]; then
  exe="$0.exe"
  [ -e "$exe" ] || cp "$TARVOLIN_EXE" "$exe"
fi

direct() {  # whether file descriptor $1 goes to a character device
  [ -c "/proc/self/fd/$1" ]
}

if direct 1 && direct 2; then
  # Nothing to check: the program itself is this process, signals reach it directly.
  exec perl -e '$SIG{INT} = "DEFAULT"; exec @ARGV' wine "$exe" "$@"
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
check() {  # check <stream name>: filters standard input to standard output
  perl -e '
    binmode STDIN; binmode STDOUT; $| = 1;
    my $bare = 0;
    while (my $line = <STDIN>) {
      if ($line =~ /\n\z/ && $line !~ s/\r\n\z/\n/) { $bare++; }
      print $line;
    }
    if ($bare && open(my $log, ">>", $ENV{TARVOLIN_CRLF_LOG} // "/dev/stderr")) {
      print $log "$ARGV[0]: $bare line(s) ending in LF without CR\n";
    }' "$1"
}

checkers=()
out=/dev/stdout
err=/dev/stderr
if ! direct 1; then
  mkfifo "$scratch/out"
  check "standard output" <"$scratch/out" &
  checkers+=($!)
  out=$scratch/out
fi
if [ /dev/stdout -ef /dev/stderr ] && ! direct 1; then
  err=$out  # one stream: one checker keeps the order of the lines
elif ! direct 2; then
  mkfifo "$scratch/err"
  check "standard error" <"$scratch/err" >&2 &
  checkers+=($!)
  err=$scratch/err
fi

# A background job would get /dev/null as input and SIGINT ignored; it gets neither.
perl -e '$SIG{INT} = "DEFAULT"; exec @ARGV' wine "$exe" "$@" <&0 >"$out" 2>"$err" &
program=$!
trap 'kill -INT "$program" 2>/dev/null' INT
trap 'kill -TERM "$program" 2>/dev/null' TERM
while :; do
  wait "$program"
  rc=$?
  kill -0 "$program" 2>/dev/null || break  # a trapped signal ended the wait, not the program
done
wait "${checkers[@]}"
exit "$rc"
