#!/usr/bin/env bash
# Runs every fuzz target under build/fuzz/fuzz (build them first with
# `make fuzz`, which calls this script after building) for the given number
# of seconds each (default 60).  Each target starts from its seed inputs in
# fuzz/corpus/<name>/ and the inputs earlier runs found, kept in
# build/fuzz/corpus/<name>/.  An input that breaks a target is kept in
# build/fuzz/findings/<name>/ and fails the run; the target's output is in
# build/fuzz/logs/<name>.log.
#
# To run a kept input again:  build/fuzz/fuzz/fuzz_<name> <file>
set -uo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
export ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=64:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0}"

found=0
failed=()
for target in build/fuzz/fuzz/fuzz_*; do
  [[ -f "$target" && -x "$target" ]] || continue
  program=$(basename "$target")
  name=${program#fuzz_}
  found=$((found + 1))
  seeds="fuzz/corpus/$name"
  corpus="build/fuzz/corpus/$name"
  findings="build/fuzz/findings/$name"
  log="build/fuzz/logs/$name.log"
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  [[ -d "$seeds" ]] || { echo "$program: no seed inputs in $seeds/"; failed+=("$program"); continue; }

  echo "== $program: $seconds s"
  "$target" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 \
    -artifact_prefix="$findings/" -print_final_stats=1 "$corpus" "$seeds" >"$log" 2>&1
  status=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -n1)
  inputs=$(find "$corpus" -type f | wc -l)
  if [[ $status -ne 0 ]]; then
    failed+=("$program")
    echo "   FINDING (exit $status) after ${runs:-?} runs; the input is kept in $findings/:"
    ls -1 "$findings" | sed 's/^/     /'
    grep -E 'invariant broken|ERROR: |runtime error|SUMMARY' "$log" | head -n 8 | sed 's/^/   /'
    echo "   full output: $log"
  else
    echo "   ${runs:-?} runs, nothing found; $inputs inputs in $corpus/"
  fi
done

if [[ $found -eq 0 ]]; then
  echo "No fuzz targets in build/fuzz/fuzz; build them with: make fuzz"
  exit 1
fi
if [[ ${#failed[@]} -gt 0 ]]; then
  echo "Fuzzing found faults in: ${failed[*]}"
  exit 1
fi
echo "Fuzzing: $found targets, nothing found."
