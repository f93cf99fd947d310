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
  # The clock window's running cost is measured as a user meets it: on an
  # X server at 1920x1080, where every repaint goes to the server.
  if [[ "$(basename "$bench")" == bench_window ]] && command -v xvfb-run >/dev/null; then
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1920x1080x24" "$bench" "$@" || status=1
    continue
  fi
  "$bench" "$@" || status=1
done
exit $status
