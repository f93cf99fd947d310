#!/usr/bin/env bash
# The crash soak: the store's crash test for many rounds (default 1000), each
# killing a process with SIGKILL while it posts records, then checking the
# file and every acknowledged post.  Build first (`make soak` does).  The
# whole output is kept in build/soak.log.
set -uo pipefail
cd "$(dirname "$0")/.."
rounds="${1:-1000}"
test_program=build/release/tests/store_tst_crashsafety
[[ -x "$test_program" ]] || { echo "$test_program is missing; build with: make build"; exit 1; }

echo "Crash soak: $rounds rounds of kill -9 during posts"
start=$(date +%s)
QT_QPA_PLATFORM=offscreen KORVANE_CRASH_ROUNDS="$rounds" "$test_program" -maxwarnings 0 >build/soak.log 2>&1
status=$?
elapsed=$(( $(date +%s) - start ))
grep -E '^(WARNING|FAIL)' -A1 build/soak.log | head -n 20
grep -o 'crash rounds: .*' build/soak.log | sed 's/, /\n  /g'
echo "  time: ${elapsed} s"
if [[ $status -ne 0 ]]; then
  echo "Crash soak FAILED; full output in build/soak.log"
  exit 1
fi
echo "Crash soak passed."
