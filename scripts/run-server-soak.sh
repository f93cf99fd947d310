#!/usr/bin/env bash
# Two stations save tests against a PostgreSQL server of their own that is
# killed, stopped (SIGSTOP) and restarted at random, for MINUTES minutes
# (default 30); then every acknowledged save must be stored exactly once and
# no station's 100 ms clock may have run more than 150 ms late.  Prints the
# figures; exits 0 when all held.  Not part of the test run.
#
#   scripts/run-server-soak.sh [MINUTES]
set -euo pipefail
minutes=${1:-30}
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
flock /tmp/korvane-cpu.lock cmake --build --preset release --target store_server_soak >/dev/null
binary=build/release/tests/store_server_soak
exec nice -n 10 "$binary" "$minutes"
