#!/usr/bin/env bash
# The check of the Windows build (what `make check-windows` runs):
#   1. builds it with its tests and packs it (scripts/build-windows.sh --tests);
#   2. runs every test program under Wine (scripts/run-windows-tests.sh),
#      leaving out only the programs and functions named there with their
#      reason;
#   3. installs the setup program silently into another fresh prefix, starts
#      the installed korvane.exe, compares its --version, its exports of a
#      folder written by the Linux build and of a PostgreSQL server with the
#      Linux build's own, byte for byte, and uninstalls it
#      (scripts/check-windows-install.sh).
# Logs go to build/windows/check/; the summary is printed at the end.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=$repo/build/windows
check=$out/check
triple=x86_64-w64-mingw32
export WINEDEBUG=-all

say() { printf '[check-windows %s] %s\n' "$(date +%H:%M:%S)" "$*"; }
fail() { say "FAILED: $*" >&2; exit 1; }

bash "$repo/scripts/build-windows.sh" --tests
version=$(sed -n 's/^project(Korvane VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
folder=$out/korvane-$version
build=$out/build
rm -rf "$check"
mkdir -p "$check"

# ------------------------------------------------------------- the tests
# scripts/run-windows-tests.sh runs them, names what is left out and why,
# and writes the summary; a failure there fails the check at the end.
tests_status=0
bash "$repo/scripts/run-windows-tests.sh" || tests_status=$?

# ------------------------------------------- the installed program
# The setup program installed, run against the Linux build and uninstalled
# (scripts/check-windows-install.sh).
bash "$repo/scripts/check-windows-install.sh"

cat "$check/tests/summary.txt"
[[ $tests_status -eq 0 ]] || fail "tests under Wine (build/windows/check/tests/summary.txt)"
say "All passed"
