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
set -u
binary=$(realpath "$1")
case_file=$(realpath "$2")
base=${case_file%.sh}

scratch=$(mktemp -d)
results=$(mktemp -d)
trap 'chmod -R u+rwx "$scratch" 2>/dev/null; rm -rf "$scratch" "$results"' EXIT
scratch=$(realpath "$scratch")

(cd "$scratch" && TARVOLIN="$binary" SCRATCH="$scratch" bash "$case_file") \
  >"$results/stdout" 2>"$results/stderr"
rc=$?

status=0
compare() {  # compare <what> <expected file> <actual file>
  local expected=$results/expected.$1 actual=$results/actual.$1
  if [ -f "$2" ]; then cp "$2" "$expected"; else : >"$expected"; fi
  SCRATCH_PATH=$scratch BINARY=$binary BINDIR=$(dirname "$binary") perl -pe '
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
compare stdout "$base.out" "$results/stdout"
compare stderr "$base.err" "$results/stderr"

expected_rc=0
[ -f "$base.rc" ] && expected_rc=$(tr -d '[:space:]' <"$base.rc")
if [ "$rc" != "$expected_rc" ]; then
  echo "--- exit code: expected $expected_rc, got $rc"
  status=1
fi
exit $status
