#!/usr/bin/env bash
# Runs one command-line case and compares its whole standard output, standard error and exit
# code with the expected files beside it.
#
#   run_case.sh [--update] <tarvolin binary> <case.sh>
#
# The case script runs under bash in an empty scratch folder, with TARVOLIN naming the binary.
# Expected files: <case>.out (standard output), <case>.err (standard error), <case>.rc (exit
# code); a missing .out or .err means empty, a missing .rc means 0.
#
# Placeholders. The actual output is normalised first (expectations.pl normalise): the run's
# own values, which differ from run to run and machine to machine, are replaced in it by
#   @TARVOLIN@  the binary's path            @BINDIR@  its folder
#   @SCRATCH@   the scratch folder's path    @DATE@, @YEAR@, @BUILD@  the banner's build date,
#                                            copyright year and toolchain
# These values are long and distinctive, so replacing them in the actual text is safe. What
# differs between the platforms goes the other way: the expected text holds these placeholders
# where the author (or --update) put them, and each is replaced by this platform's form before
# comparing (expectations.pl expand). Replacing the actual text blindly would not do: a
# backslash or a "/tmp" in the output is not always a separator or the temporary folder.
#                POSIX    Windows
#   @/@          /        \          a path separator the program writes
#   @EXE@        (none)   .EXE       the program's suffix where it names itself (TARVOLIN@EXE@)
#   @"@          (none)   "          a quote only the Windows command line has (Wine quotes
#                                    the program's path in the command line it passes)
#   @TEMP@       /tmp     C:\users\<user>\Temp   the temporary folder (the cases that show it
#                                    set TEMP=/tmp; Wine keeps its own TEMP)
#   @CR@         (none)   CR         at a line's end: the CR of a line the program wrote to a
#                                    file with CR LF and the case shows as it is
# So "t@/@a" is t/a on POSIX and t\a on Windows, and "1,1,0,FALSE@CR@" ends with CR LF there.
#
# The Windows program (a binary ending in .exe) runs under Wine through wine_tarvolin.sh, which
# checks that every line it writes ends with CR LF and passes the lines on with LF (see there).
# Then:
#   - <case>.win.sh, where present, runs instead of <case>.sh: for cases whose steps differ
#     (Wine keeps its own TEMP, Windows names hold no line break, a file is made unreadable
#     another way, an exclusion line names a folder with the native separator, a file the
#     program wrote is shown with its CR LF); a case that only scales its data down tests
#     whether TARVOLIN_EXE is set instead;
#   - <case>.win.out, .win.err and .win.rc, where present, replace the common expectations:
#     only for outputs that differ in more than the placeholders (the system's error messages,
#     the outputs of a .win.sh, the command line as Windows keeps it);
#   - the Windows forms of the run's paths are normalised too: Z:\... (how Wine names a Linux
#     path) and \... (a Linux path the program took relative to the drive's root);
#   - a case whose script holds a line "# windows: <reason>" does not apply to Windows (a
#     POSIX device, signal or permission it is about); it reports "SKIPPED LOUDLY" with the
#     reason, which CTest counts as skipped.
#
# Updating. With --update (or TARVOLIN_UPDATE=1 in the environment) the expectation files are
# rewritten from the actual run instead of compared (expectations.pl update), printing
# "UPDATED: <file>" or "REMOVED: <file>" for each change. A case whose output differs from its
# expectations runs twice and is updated only when both runs agree, so a flaky run (Wine now
# and then fails to start the program) writes nothing.
#   - POSIX: the common files; lines whose expansion has not changed keep their placeholders,
#     new lines are written as they are (the run's own values as placeholders);
#   - Windows: when the common file expands to the actual output, any .win copy is removed;
#     when they differ only where a platform placeholder can stand, the common file gets the
#     placeholders (its POSIX text staying the same) and any .win copy is removed; only
#     otherwise the .win file is written (a CR at a line's end as @CR@, Wine's temporary
#     folder as @TEMP@). A .win copy identical to the common expectation is never written.
# Update on Linux first, then under Wine (the Windows update adds the placeholders to the lines
# the Linux one wrote), and review the result with git diff. Every case, through CTest:
#   TARVOLIN_UPDATE=1 ctest --test-dir build/debug -R '^cli' -j2
#   TARVOLIN_UPDATE=1 WINEPREFIX=$PWD/build/wine-prefix WINEDEBUG=-all \
#     ctest --test-dir build/windows -R '^cli' -j2      (with "wineserver --persistent" running)
# or case by case, without CTest's time limit (a case that does not pass runs twice):
#   for c in tests/cli/*/*.sh; do
#     [[ $c == *.win.sh ]] || bash tests/cli/run_case.sh --update build/debug/tarvolin "$c"
#   done
# A case whose program wrote a line without CR LF under Wine is reported and not updated. A
# case that passes is tidied all the same (placeholders added, a needless .win copy removed).
set -u
update=false
if [ "${1:-}" = --update ]; then
  update=true
  shift
fi
[ -n "${TARVOLIN_UPDATE:-}" ] && [ "$TARVOLIN_UPDATE" != 0 ] && update=true
if [ $# -ne 2 ]; then
  echo "usage: run_case.sh [--update] <tarvolin binary> <case.sh>" >&2
  exit 2
fi
here=$(dirname "$(realpath "$0")")
binary=$(realpath "$1")
case_file=$(realpath "$2")
base=${case_file%.sh}
base=${base%.win}  # a .win.sh named directly stands for its case
case_file=$base.sh

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

program=$binary
results=$(mktemp -d)
if $windows; then
  mkdir "$results/bin"
  program=$results/bin/tarvolin
  cp "$here/wine_tarvolin.sh" "$program"
  chmod +x "$program"
  export TARVOLIN_EXE=$binary
fi
scratch=
remove_scratch() {
  [ -n "$scratch" ] || return 0
  chmod -R u+rwx "$scratch" 2>/dev/null
  rm -rf "$scratch"
  scratch=
}
trap 'remove_scratch; rm -rf "$results"' EXIT

# How Windows names a Linux path: on drive Z:, with backslashes.
windows_form() { printf 'Z:%s' "${1//\//\\}"; }
export WINDOWS=$windows BINARY=$binary BINDIR=$(dirname "$binary") \
  WIN_BINARY=$(windows_form "$binary") WIN_BINDIR=$(windows_form "$(dirname "$binary")") \
  WIN_TEMP="C:\\users\\$(id -un)\\Temp"
expectations() { perl "$here/expectations.pl" "$@"; }

run() {  # run <folder>: runs the case once in a new scratch folder; the outputs go to <folder>
  local out=$1 rc
  mkdir "$out"
  scratch=$(realpath "$(mktemp -d)")
  $windows && export TARVOLIN_CRLF_LOG=$out/crlf.log
  (cd "$scratch" && TARVOLIN="$program" SCRATCH="$scratch" bash "$case_file") \
    >"$out/stdout" 2>"$out/stderr"
  rc=$?
  export SCRATCH_PATH=$scratch WIN_SCRATCH=$(windows_form "$scratch")
  expectations normalise "$out/stdout" >"$out/actual.stdout"
  expectations normalise "$out/stderr" >"$out/actual.stderr"
  printf '%s\n' "$rc" >"$out/actual.rc"
  remove_scratch
}

line_ends() {  # line_ends <folder>: fails when the Windows program wrote lines without CR LF
  $windows && [ -s "$1/crlf.log" ] || return 0
  echo "--- line ends: the program wrote lines without CR LF:"
  cat "$1/crlf.log"
  return 1
}

expected() {  # expected <suffix>: the expectation file for this platform
  if $windows && [ -f "$base.win.$1" ]; then echo "$base.win.$1"; else echo "$base.$1"; fi
}

check() {  # check <folder> [quiet]: compares a run with the expectations
  local status=0 what expected_rc actual_rc
  for what in stdout stderr; do
    expectations expand "$(expected "${what#std}")" >"$1/expected.$what"
    cmp -s "$1/expected.$what" "$1/actual.$what" && continue
    status=1
    [ -n "${2:-}" ] && continue
    echo "--- $what differs (expected vs actual):"
    diff -u "$1/expected.$what" "$1/actual.$what" | cat -A | head -n 80
  done
  expected_rc=0
  [ -f "$(expected rc)" ] && expected_rc=$(tr -d '[:space:]' <"$(expected rc)")
  actual_rc=$(cat "$1/actual.rc")
  if [ "$actual_rc" != "$expected_rc" ]; then
    status=1
    [ -n "${2:-}" ] || echo "--- exit code: expected $expected_rc, got $actual_rc"
  fi
  return $status
}

run "$results/run"
if ! $update; then
  status=0
  line_ends "$results/run" || status=1
  check "$results/run" || status=1
  exit $status
fi

# Update. A case whose run does not match its expectations runs a second time, and the files
# are written only when both runs agree: a flaky run (Wine now and then fails to start the
# program) writes nothing. A case that passes still has its files tidied (placeholders added to
# the common file, a .win copy it no longer needs removed).
line_ends "$results/run" || { echo "--- not updated"; exit 1; }
if ! check "$results/run" quiet; then
  run "$results/again"
  line_ends "$results/again" || { echo "--- not updated"; exit 1; }
  for what in stdout stderr rc; do
    if ! cmp -s "$results/run/actual.$what" "$results/again/actual.$what"; then
      echo "--- not updated: two runs differ in their $what:"
      diff -u "$results/run/actual.$what" "$results/again/actual.$what" | cat -A | head -n 40
      exit 1
    fi
  done
fi
status=0
expectations update "$results/run/actual.stdout" "$base.out" "$base.win.out" || status=1
expectations update "$results/run/actual.stderr" "$base.err" "$base.win.err" || status=1
expectations update "$results/run/actual.rc" "$base.rc" "$base.win.rc" $'0\n' || status=1
exit $status
