#!/usr/bin/env bash
# Runs every benchmark under build/release/bench (build them first with
# `make bench`, which calls this script after building).  bench_shared
# starts a PostgreSQL server of its own and needs psql for its baseline.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
status=0
for bench in build/release/bench/bench_*; do
  [[ -f "$bench" && -x "$bench" ]] || continue
  echo "== $(basename "$bench")"
  "$bench" "$@" || status=1
done
exit $status
