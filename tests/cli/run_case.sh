#!/usr/bin/env bash
# Runs one command-line case and compares its whole standard output, standard error and exit
# code with the expected files beside it.
#
#   run_case.sh <tarvolin binary> <case.sh>
#
# The case script runs under bash in an empty scratch folder, with TARVOLIN naming the binary.
# Expected files: <case>.out (standard output), <case>.err (standard error), <case>.rc (exit
# code); a missing .out or .err means empty, a missing .rc means 0. Before comparing, the actual
# output has the binary's path replaced by @TARVOLIN@, its folder by @BINDIR@, the scratch
# folder's path by @SCRATCH@, and the build-dependent parts of the banner (build date, copyright
# year, toolchain) by @DATE@, @YEAR@ and @BUILD@.
#
# The Windows program (a binary ending in .exe) runs under Wine through wine_tarvolin.sh, which
# checks that every line it writes ends with CR LF and passes the lines on with LF (see there).
# Then:
#   - <case>.win.sh, where present, runs instead of <case>.sh: for cases whose steps differ
#     (Wine keeps its own TEMP; a file the program wrote is shown with its CR LF); a case that
#     only scales its data down for Windows tests whether TARVOLIN_EXE is set instead;
#   - <case>.win.out, .win.err and .win.rc, where present, replace the common expectations:
#     the outputs that differ on Windows (separators, paths, the command line, files the program
#     wrote itself with CR LF and the case shows as they are);
#   - the Windows forms of the paths are replaced too: Z:\... (how Wine names a Linux path),
#     \... for a Linux path the program took relative to the drive's root, and Wine's own
#     temporary folder C:\users\<user>\Temp by @TEMP@;
#   - a case whose script holds a line "# windows: <reason>" does not apply to Windows (a
#     POSIX device, signal or permission it is about); it reports "SKIPPED LOUDLY" with the
#     reason, which CTest counts as skipped.
set -u
binary=$(realpath "$1")
case_file=$(realpath "$2")
base=${case_file%.sh}

windows=false
[[ $binary == *.exe ]] && windows=true
if $windows && [ -f "$base.win.sh" ]; then
  case_file=$base.win.sh
fi
if $windows; then
  reason=$(sed -n 's/^# windows: //p' "$case_file" | head -n 1)
  if [ -n "$reason" ]; then
    echo "SKIPPED LOUDLY: not applicable to the Windows program: $reason"
    exit 0
  fi
fi

scratch=$(mktemp -d)
results=$(mktemp -d)
trap 'chmod -R u+rwx "$scratch" 2>/dev/null; rm -rf "$scratch" "$results"' EXIT
scratch=$(realpath "$scratch")

program=$binary
if $windows; then
  mkdir "$results/bin"
  program=$results/bin/tarvolin
  cp "$(dirname "$0")/wine_tarvolin.sh" "$program"
  chmod +x "$program"
  export TARVOLIN_EXE=$binary TARVOLIN_CRLF_LOG=$results/crlf.log
fi

(cd "$scratch" && TARVOLIN="$program" SCRATCH="$scratch" bash "$case_file") \
  >"$results/stdout" 2>"$results/stderr"
rc=$?

# How Windows names a Linux path: on drive Z:, with backslashes.
windows_form() { printf 'Z:%s' "${1//\//\\}"; }

status=0
compare() {  # compare <what> <expected file> <actual file>
  local expected=$results/expected.$1 actual=$results/actual.$1
  if [ -f "$2" ]; then cp "$2" "$expected"; else : >"$expected"; fi
  SCRATCH_PATH=$scratch BINARY=$binary BINDIR=$(dirname "$binary") \
  WIN_BINARY=$(windows_form "$binary") WIN_BINDIR=$(windows_form "$(dirname "$binary")") \
  WIN_SCRATCH=$(windows_form "$scratch") WIN_TEMP="C:\\users\\$(id -un)\\Temp" \
  WINDOWS=$windows perl -pe '
    if ($ENV{WINDOWS} eq "true") {
      s/\Q$ENV{WIN_TEMP}\E/\@TEMP\@/g;
      s/\Q$ENV{WIN_BINARY}\E/\@TARVOLIN\@/g;
      s/\Q$ENV{WIN_BINDIR}\E/\@BINDIR\@/g;
      s/\Q$ENV{WIN_SCRATCH}\E/\@SCRATCH\@/g;
      my $rooted = substr($ENV{WIN_SCRATCH}, 2);
      s/\Q$rooted\E/\@SCRATCH\@/g;
    }
    s/\Q$ENV{BINARY}\E/\@TARVOLIN\@/g;
    s/\Q$ENV{BINDIR}\E/\@BINDIR\@/g;
    s/\Q$ENV{SCRATCH_PATH}\E/\@SCRATCH\@/g;
    s/ \([0-9]{2} [A-Z][a-z]{2} [0-9]{4}\) - / (\@DATE\@) - /;
    s/^Copyright \(c\) [0-9]{4} /Copyright (c) \@YEAR\@ /;
    s/ was compiled on [0-9]{2} [A-Z][a-z]{2} [0-9]{4} \@ [0-9]{2}:00:00 using .*$/ was compiled on \@BUILD\@/;
  ' "$3" >"$actual"
  if ! cmp -s "$expected" "$actual"; then
    echo "--- $1 differs (expected vs actual):"
    diff -u "$expected" "$actual" | cat -A | head -n 80
    status=1
  fi
}
expected() {  # expected <suffix>: the expectation file for this platform
  if $windows && [ -f "$base.win.$1" ]; then echo "$base.win.$1"; else echo "$base.$1"; fi
}
compare stdout "$(expected out)" "$results/stdout"
compare stderr "$(expected err)" "$results/stderr"

if $windows && [ -s "$results/crlf.log" ]; then
  echo "--- line ends: the program wrote lines without CR LF:"
  cat "$results/crlf.log"
  status=1
fi

expected_rc=0
[ -f "$(expected rc)" ] && expected_rc=$(tr -d '[:space:]' <"$(expected rc)")
if [ "$rc" != "$expected_rc" ]; then
  echo "--- exit code: expected $expected_rc, got $rc"
  status=1
fi
exit $status
