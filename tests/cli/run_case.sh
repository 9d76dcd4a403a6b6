#!/usr/bin/env bash
# Runs one command-line case and compares its whole standard output, standard error and exit
# code with the expected files beside it.
#
#   run_case.sh <tarvolin binary> <case.sh>
#
# The case script runs under bash in an empty scratch folder, with TARVOLIN naming the binary.
# Expected files: <case>.out (standard output), <case>.err (standard error), <case>.rc (exit
# code); a missing .out or .err means empty, a missing .rc means 0. In the actual output the
# scratch folder's path is replaced by @SCRATCH@ before comparing.
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
  SCRATCH_PATH=$scratch perl -pe 's/\Q$ENV{SCRATCH_PATH}\E/\@SCRATCH\@/g' "$3" >"$actual"
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
