#!/usr/bin/env bash
# The installed Windows program checked under Wine against the Linux build
# (the last part of `make check-windows`; runs on its own after
# scripts/build-windows.sh):
#   - the setup program installs silently (/S) into a fresh Wine prefix:
#     the program in Program Files, the Start-menu entry, the uninstall entry;
#   - the installed korvane.exe answers --version as the Linux build does;
#   - its --export-all of a folder whose tables the Linux build wrote (500
#     tests with umlauts, decimal commas and dates) is the Linux build's
#     bytes, also with the folder and the file named outside the ANSI code
#     page; its --export-xlsx holds the Linux build's sheets;
#   - a PostgreSQL server of the check's own, reached over TLS, is read into
#     the same bytes as the Linux build reads from it;
#   - started as the Start menu starts it, it makes Documents\Korvane;
#   - the silent uninstall removes the program and its entries and leaves
#     that data folder alone.
# Work files go to build/windows/check/install/.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=$repo/build/windows
check=$out/check/install
export WINEDEBUG=-all

say() { printf '[check-windows-install %s] %s\n' "$(date +%H:%M:%S)" "$*"; }
fail() { say "FAILED: $*" >&2; exit 1; }

version=$(sed -n 's/^project(Korvane VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
setup=$out/Korvane-$version-setup.exe
[[ -f $setup ]] || fail "no $setup (scripts/build-windows.sh makes it)"
linux=$repo/build/release/korvane
if [[ ! -x $linux ]]; then
  say "Building the Linux program to compare with"
  (cd "$repo" && cmake --preset release >/dev/null \
     && flock /tmp/korvane-cpu.lock cmake --build --preset release --target korvane)
fi

server_stop=()
pg_folder=
cleanup() {
  [[ ${#server_stop[@]} -eq 0 ]] || "${server_stop[@]}" >/dev/null 2>&1 || true
  [[ -z $pg_folder ]] || rm -rf "$pg_folder"
  [[ -z ${WINEPREFIX:-} ]] || wineserver -k >/dev/null 2>&1 || true
}
trap cleanup EXIT
rm -rf "$check"
mkdir -p "$check"

# ------------------------------------------------------------- install
say "Installing $(basename "$setup") ($(du -h "$setup" | cut -f1)) silently into a fresh Wine prefix"
export WINEPREFIX=$check/wine
wineboot -i >/dev/null 2>&1 || true
wine "$setup" /S
wineserver -w
drive=$WINEPREFIX/drive_c
installed="$drive/Program Files/Korvane"
program='C:\Program Files\Korvane\korvane.exe'
menu_entry="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Korvane.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Korvane'
for file in korvane.exe uninstall.exe qt.conf plugins/platforms/qwindows.dll \
            plugins/sqldrivers/qsqlite.dll plugins/sqldrivers/qsqlpsql.dll sqlite3.dll libpq.dll; do
  [[ -f $installed/$file ]] || fail "the installer put no $file into Program Files\\Korvane"
done
[[ -f $menu_entry ]] || fail "the installer made no Start-menu entry"
wine reg query "$uninstall_key" /v DisplayVersion 2>/dev/null | tr -d '\r' | grep "REG_SZ[[:space:]]*$version\$" >/dev/null \
  || fail "no uninstall entry for version $version"

# ------------------------------------------------------------- version
expected_version=$("$linux" --version | tr -d '\r')
windows_version=$(wine "$program" --version 2>/dev/null | tr -d '\r')
[[ $windows_version == "$expected_version" ]] \
  || fail "korvane.exe --version says '$windows_version', the Linux build '$expected_version'"
say "--version: '$windows_version', as on Linux"

# ------------------------------------------------- a Linux-written folder
# The tables made by the Linux program, filled with tests that have
# umlauts, decimal commas and dates.
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
tests=$(($(wc -l < "$check/export-linux.csv") - 1))

wine "$program" --export-all "Z:$check/export-windows.csv" --folder "Z:$data" \
  || fail "korvane.exe --export-all ended with status $?"
cmp "$check/export-linux.csv" "$check/export-windows.csv" \
  || fail "the Windows export differs from the Linux one (see $check)"
# Names the ANSI code page lacks reach the program whole.
world="$check/Daten Ωμέγα 東京"
mkdir -p "$world/Ausgabe"
cp "$data"/*.DB "$data"/*.db "$world/"
wine "$program" --export-all "Z:$world/Ausgabe/Jürgen Ωμέγα.csv" --folder "Z:$world" \
  || fail "korvane.exe --export-all into a folder named outside the ANSI code page ended with status $?"
cmp "$check/export-linux.csv" "$world/Ausgabe/Jürgen Ωμέγα.csv" \
  || fail "the export named outside the ANSI code page differs from the Linux one"
say "--export-all: $tests tests, $(stat -c %s "$check/export-linux.csv") bytes, identical to Linux (also named outside the ANSI code page)"

# The workbook: the same sheets; only its creation time differs.
"$linux" --export-xlsx "$check/linux.xlsx" --folder "$data" >/dev/null
wine "$program" --export-xlsx "Z:$world/Ausgabe/Jürgen Ωμέγα.xlsx" --folder "Z:$world" >/dev/null \
  || fail "korvane.exe --export-xlsx ended with status $?"
mkdir -p "$check/xlsx-linux" "$check/xlsx-windows"
(cd "$check/xlsx-linux" && unzip -q "$check/linux.xlsx")
(cd "$check/xlsx-windows" && unzip -q "$world/Ausgabe/Jürgen Ωμέγα.xlsx")
diff -r -x core.xml "$check/xlsx-linux" "$check/xlsx-windows" >/dev/null \
  || fail "the Windows workbook differs from the Linux one (see $check/xlsx-*)"
say "--export-xlsx: the Linux build's sheets"

# ---------------------------------------------- the shared database (TLS)
pg_bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
if [[ -x $pg_bin/initdb ]]; then
  # In a folder of its own that the server's user can reach.
  pg=$(mktemp -d /tmp/korvane-check-pg.XXXXXX)
  pg_folder=$pg
  as_server=()
  if [[ $(id -u) -eq 0 ]]; then
    chown postgres:postgres "$pg"
    as_server=(runuser -u postgres --)
  fi
  "${as_server[@]}" "$pg_bin/initdb" -D "$pg/data" -U korvane --auth=trust -E UTF8 --locale=C > "$pg/initdb.log" 2>&1 \
    || { cat "$pg/initdb.log"; fail "initdb"; }
  openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 \
    -keyout "$pg/server.key" -out "$pg/server.crt" >/dev/null 2>&1 || fail "no certificate for the server"
  chmod 600 "$pg/server.key"
  [[ ${#as_server[@]} -eq 0 ]] || chown postgres:postgres "$pg/server.key" "$pg/server.crt"
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  "${as_server[@]}" "$pg_bin/pg_ctl" -D "$pg/data" -l "$pg/server.log" -w start \
    -o "-p $port -k $pg -c listen_addresses=127.0.0.1 -c ssl=on -c ssl_cert_file=$pg/server.crt -c ssl_key_file=$pg/server.key" \
    >/dev/null || { cat "$pg/server.log"; fail "the PostgreSQL server did not start"; }
  server_stop=("${as_server[@]}" "$pg_bin/pg_ctl" -D "$pg/data" -m fast -w stop)
  "$pg_bin/psql" -h 127.0.0.1 -p "$port" -U korvane -d postgres -qc 'CREATE DATABASE korvane' \
    || fail "no database on the server"
  url="postgresql://korvane@127.0.0.1:$port/korvane?sslmode=require"
  "$linux" --folder "$data" --copy-to-database "$url" >/dev/null || fail "the Linux program could not fill the server"
  "$linux" --database "$url" --export-all "$check/server-linux.csv"
  wine "$program" --database "$url" --export-all "Z:$check/server-windows.csv" \
    || fail "korvane.exe --database --export-all ended with status $?"
  cmp "$check/server-linux.csv" "$check/server-windows.csv" \
    || fail "the Windows export of the server differs from the Linux one"
  "${server_stop[@]}" >/dev/null 2>&1 || true
  server_stop=()
  say "--database over TLS: $tests tests read from PostgreSQL, identical to Linux"
else
  say "No PostgreSQL server programs (scripts/install-deps.sh installs them): the shared database is not checked"
fi

# ------------------------------------------------ as the Start menu starts it
# Qt's variables do not reach a program from the Unix environment under
# Wine; this prefix's user environment gives it the offscreen platform.
documents="$drive/users/$(id -un)/Documents"
wine reg add 'HKCU\Environment' /v QT_QPA_PLATFORM /d offscreen /f >/dev/null
wineserver -w
wine "$program" --user-folder > "$check/started.log" 2>&1 &
started=$!
for _ in $(seq 120); do
  [[ -f $documents/Korvane/TestTable.DB ]] && break
  sleep 0.5
done
# Still running a while later: its threads started and nothing crashed.
sleep 5
running=no
kill -0 "$started" 2>/dev/null && running=yes
wineserver -k >/dev/null 2>&1 || true
wait "$started" 2>/dev/null || true
[[ -f $documents/Korvane/TestTable.DB ]] || fail "started as from the Start menu, korvane.exe made no Documents\\Korvane"
[[ $running == yes ]] || { cat "$check/started.log"; fail "started as from the Start menu, korvane.exe ended by itself"; }
say "Started as from the Start menu: Documents\\Korvane made, still running after 5 s"

# ----------------------------------------------------------- uninstall
wine 'C:\Program Files\Korvane\uninstall.exe' /S
wineserver -w
# The uninstaller runs from a copy of itself, which ends after it.
for _ in $(seq 20); do [[ -f $installed/korvane.exe ]] || break; sleep 0.5; done
[[ ! -f $installed/korvane.exe ]] || fail "the uninstaller left korvane.exe"
[[ ! -f $menu_entry ]] || fail "the uninstaller left the Start-menu entry"
! wine reg query "$uninstall_key" >/dev/null 2>&1 || fail "the uninstaller left its entry"
[[ -f $documents/Korvane/TestTable.DB ]] || fail "the uninstaller removed the data folder"
say "Uninstalled silently: program and entries gone, Documents\\Korvane kept"
say "The installed program passed"
