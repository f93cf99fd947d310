#!/usr/bin/env bash
# The check of the Windows build (what `make check-windows` runs):
#   1. builds it with its tests and packs it (scripts/build-windows.sh --tests);
#   2. runs every test program under Wine (scripts/run-windows-tests.sh),
#      leaving out only the programs and functions named there with their
#      reason;
#   3. installs the setup program silently into another fresh prefix, starts
#      the installed korvane.exe, and compares its --version and its
#      --export-all of a folder written by the Linux build with the Linux
#      build's own answer, byte for byte.
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
say "Installing the setup program silently into a fresh Wine prefix"
export WINEPREFIX=$check/wine-install
wineboot -i >/dev/null 2>&1 || true
wine "$out/Korvane-$version-setup.exe" /S
wineserver -w
installed="$WINEPREFIX/drive_c/Program Files/Korvane"
[[ -f $installed/korvane.exe && -f $installed/uninstall.exe ]] || fail "the installer put no korvane.exe into Program Files"
[[ -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Korvane.lnk" ]] \
  || fail "the installer made no Start-menu entry"

linux=$repo/build/release/korvane
if [[ ! -x $linux ]]; then
  say "Building the Linux program to compare with"
  (cd "$repo" && cmake --preset release >/dev/null && flock /tmp/korvane-cpu.lock cmake --build --preset release --target korvane)
fi
expected_version=$("$linux" --version | tr -d '\r')
windows_version=$(wine "C:\\Program Files\\Korvane\\korvane.exe" --version 2>/dev/null | tr -d '\r')
[[ $windows_version == "$expected_version" ]] \
  || fail "korvane.exe --version says '$windows_version', the Linux build '$expected_version'"

# A folder whose tables the Linux program made, filled with tests that have
# umlauts, decimal commas and dates; both exports must be the same bytes.
data=$check/linux-folder
mkdir -p "$data"
QT_QPA_PLATFORM=offscreen timeout 15 "$linux" --folder "$data" >/dev/null 2>&1 || true
[[ -f $data/TestTable.DB ]] || fail "the Linux program made no tables in $data"
columns=$(sqlite3 "$data/TestTable.DB" "SELECT group_concat('\"' || name || '\"', ',') FROM pragma_table_info('TestTable') WHERE cid > 0")
values="printf('%02d.%02d.%04d', x % 28 + 1, x % 12 + 1, 2000 + x % 27), x % 40 + 1, 'Jürgen ' || x, 'Größe-Ñúñez', '82,5', '181', 'Kniebeuge ' || (x % 7), '100'"
for set in $(seq 1 20); do
  if [[ $set -le 3 ]]; then values+=", printf('%d,%d', 18 + x % 5, x % 10), '6'"; else values+=", '', '0'"; fi
done
values+=", '1,5', '1', '1', '0,5', '0,5', '6', '3', '120', '58,5', '36'"
sqlite3 "$data/TestTable.DB" "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 500) INSERT INTO TestTable ($columns) SELECT $values FROM c"
"$linux" --export-all "$check/export-linux.csv" --folder "$data"
wine "C:\\Program Files\\Korvane\\korvane.exe" --export-all "Z:$check/export-windows.csv" --folder "Z:$data"
cmp "$check/export-linux.csv" "$check/export-windows.csv" \
  || fail "the Windows export differs from the Linux one (see $check)"
say "Installed program: '$windows_version'; --export-all of $(($(wc -l < "$check/export-linux.csv") - 1)) tests identical to Linux ($(stat -c %s "$check/export-linux.csv") bytes)"

say "Uninstalling silently: the data folder stays"
mkdir -p "$WINEPREFIX/drive_c/users/$USER/Documents/Korvane"
echo keep > "$WINEPREFIX/drive_c/users/$USER/Documents/Korvane/TestTable.DB"
wine "C:\\Program Files\\Korvane\\uninstall.exe" /S
wineserver -w
sleep 2
[[ ! -f $installed/korvane.exe ]] || fail "the uninstaller left korvane.exe"
[[ -f "$WINEPREFIX/drive_c/users/$USER/Documents/Korvane/TestTable.DB" ]] || fail "the uninstaller removed the data folder"

cat "$check/tests/summary.txt"
[[ $tests_status -eq 0 ]] || fail "tests under Wine (build/windows/check/tests/summary.txt)"
say "All passed"
