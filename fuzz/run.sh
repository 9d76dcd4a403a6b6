#!/usr/bin/env bash
# Builds the fuzz preset and runs every fuzz target for a bounded time on its corpus.
#
#   fuzz/run.sh [SECONDS] [TARGET...]      (default: 30 seconds each, all targets)
#
# Each target starts from the seeds in fuzz/corpus/<target> and the past failures in
# fuzz/regressions/<target>; what it learns goes to build/fuzz/corpus/<target> (not kept).
# Mutations may reach the target's longest input at once (-len_control=0): libFuzzer's default
# lets inputs grow only a few bytes at a time, too slowly for a short run to reach whole
# command lines and lists.
# A failing input is written to build/fuzz/artifacts/ and the script exits non-zero; copy it
# into fuzz/regressions/<target>/ once fixed, so the replay tests keep it fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(cmdline masks exclusions engines listing)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 >/dev/null

declare -A max_len=([cmdline]=4096 [masks]=1024 [exclusions]=8192 [engines]=40000 [listing]=4096)
# The command-line engine keeps process-wide state from one input to the next, which libFuzzer's
# leak check after every input would take for leaks (and slow down tenfold); its leaks are
# checked at exit by the replay test under the sanitizers instead.
declare -A leaks=([cmdline]=0 [masks]=1 [exclusions]=1 [engines]=1 [listing]=1)
build=build/fuzz
mkdir -p "$build/artifacts"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
for target in "${targets[@]}"; do
  corpus=$build/corpus/$target
  mkdir -p "$corpus"
  inputs=("$corpus" "fuzz/corpus/$target")
  [ -d "fuzz/regressions/$target" ] && inputs+=("fuzz/regressions/$target")
  echo "== $target: ${seconds}s"
  # The command-line target may change the current folder; it runs in a scratch folder.
  if ! (cd "$scratch" && "$OLDPWD/$build/fuzz/fuzz_$target" -detect_leaks="${leaks[$target]}" \
        -max_total_time="$seconds" -max_len="${max_len[$target]}" -len_control=0 -timeout=60 \
        -print_final_stats=1 \
        -artifact_prefix="$OLDPWD/$build/artifacts/$target-" \
        "${inputs[@]/#/$OLDPWD/}" >"$OLDPWD/$build/$target.log" 2>&1); then
    echo "   FAILED: see $build/$target.log and $build/artifacts/"
    status=1
  fi
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)|^#[0-9]+ +DONE' "$build/$target.log" | sed 's/^/   /' || true
  longest=$(find "$corpus" -type f -printf '%s\n' | sort -n | tail -n 1)
  echo "   longest input it kept: ${longest:-0} bytes"
done
exit $status
