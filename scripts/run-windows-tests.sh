#!/usr/bin/env bash
# Runs the test programs of the Windows build under Wine (part of
# `make check-windows`; scripts/build-windows.sh --tests builds them):
#
#   scripts/run-windows-tests.sh                 every test program
#   scripts/run-windows-tests.sh NAME...         only these (e.g. store_tst_table)
#
# Each program runs on its own in a copy of the program folder, beside the
# DLLs, plugins, fonts and modules the program has, in one fresh Wine prefix,
# on the offscreen platform when it has windows, with at most five minutes.
# A program of the Linux build that has no Windows build, and a test
# function left out under Wine, is named below with its reason.  Logs go to
# build/windows/check/tests/; the summary (passed, failed, skipped per
# program, and what is left out and why) is printed at the end and kept in
# build/windows/check/tests/summary.txt.  The exit status is 1 when a program
# failed, gave no result, or is missing without a reason.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=$repo/build/windows
build=$out/build
check=$out/check/tests
triple=x86_64-w64-mingw32
export WINEDEBUG=-all

say() { printf '[windows-tests %s] %s\n' "$(date +%H:%M:%S)" "$*"; }

# Test programs of the Linux build that the Windows build has not, and why.
declare -A program_left_out=(
  [platform_tst_sound]="ALSA, which Windows has not; platform_tst_winsound tests the Windows audio device"
  [platform_tst_screensaver]="D-Bus, which Windows has not; platform_tst_powerrequest tests the Windows display hold"
  [core_tst_files]="POSIX links, pipes and modes; core_tst_files_win tests their Windows meaning"
  [store_tst_analysisviews]="runs the analyst queries with the Linux programs sqlite3 and psql against a server of its own"
)

# Test functions left out under Wine (program: space-separated functions),
# and why.
declare -A left_out=(
  [model_tst_csvexport]="failedWriteKeepsThePreviousFile"
)
declare -A left_out_reason=(
  [model_tst_csvexport]="needs a per-process limit of the file size (RLIMIT_FSIZE), which Windows has not"
)
# The tests of the shared database reach a PostgreSQL server this script
# keeps on the host; without Qt's PostgreSQL driver in the program folder,
# or without the server programs on the host, they are left out.
pg_programs=(store_tst_sharedstore store_tst_storeaction data_tst_sharedgrid)
declare -A pg_functions=(
  [app_tst_hauptform]="changeAsksForTheServersPassword"
  [clock_tst_storeactions]="saveAfterALostAnswer"
)
# Left out even with the server.
declare -A pg_left_out=(
  [store_tst_storeaction]="hungServer"
)
declare -A pg_left_out_reason=(
  [store_tst_storeaction]="under Wine 8 shutting down a socket does not wake the thread waiting on it, so a hung server is left after the rescue's 20 s, not within 10 s (to be checked on Windows)"
)

version=$(sed -n 's/^project(Korvane VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
folder=$out/korvane-$version
[[ -d $folder && -d $build/tests ]] || { say "no Windows build with tests: run scripts/build-windows.sh --tests" >&2; exit 1; }

# The programs to run: those named, or all of them.
programs=("$@")
if [[ ${#programs[@]} -eq 0 ]]; then
  for exe in "$build"/tests/*_tst_*.exe; do programs+=("$(basename "$exe" .exe)"); done
fi

rm -rf "$check"
mkdir -p "$check"
run=$check/run
cp -a "$folder" "$run"
cp "$build"/tests/*.exe "$run/"
# The tests' data files, where Qt Test's QFINDTESTDATA looks first.
find "$repo/tests" -mindepth 2 -maxdepth 2 -type f ! -name '*.cpp' ! -name '*.h' -exec cp {} "$run/" \;
qt=$(bash "$repo/scripts/build-qt-mingw.sh" --print-prefix)
for exe in "$run"/*.exe; do
  "$triple-objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | while read -r dll; do
    [[ -f $run/$dll || ! -f $qt/bin/$dll ]] || cp "$qt/bin/$dll" "$run/"
  done
done

# ------------------------------------------ a PostgreSQL server on the host
# The tests under Wine ask for it through files in a control folder: a
# request ("fresh": a new, empty cluster, started; "start"; "fast" or
# "immediate": stopped so; "pause", "resume": every server process stopped
# or let go on, as a hung machine), answered with "ok" or why not.
pg_bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
pg_skip=""
if [[ ! -f $run/plugins/sqldrivers/qsqlpsql.dll ]]; then
  pg_skip="Qt's PostgreSQL driver is not in the program folder"
elif [[ -z $pg_bin || ! -x $pg_bin/initdb ]]; then
  pg_skip="no PostgreSQL server programs on the host (scripts/install-deps.sh installs them)"
fi
pg_agent=""
if [[ -z $pg_skip ]]; then
  pg=$check/pgserver
  mkdir -p "$pg/control"
  as_server_user() { if [[ $EUID -eq 0 ]]; then runuser -u postgres -- "$@"; else "$@"; fi; }
  [[ $EUID -eq 0 ]] && chown postgres: "$pg"
  pg_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  pg_processes() {
    local postmaster
    postmaster=$(head -n 1 "$pg/data/postmaster.pid" 2>/dev/null) || return 0
    echo "$postmaster"; pgrep -P "$postmaster" || true
  }
  pg_request() {
    case $1 in
      fresh)
        [[ -f $pg/data/postmaster.pid ]] && { pg_request resume; as_server_user "$pg_bin/pg_ctl" -D "$pg/data" -m immediate -w stop; }
        rm -rf "$pg/data"
        as_server_user "$pg_bin/initdb" -D "$pg/data" -U korvane --auth=trust -E UTF8 --locale=C >/dev/null
        printf 'local all all trust\nhost all station 127.0.0.1/32 scram-sha-256\nhost all all 127.0.0.1/32 trust\n' \
          | as_server_user tee "$pg/data/pg_hba.conf" >/dev/null
        pg_request start ;;
      start)
        as_server_user "$pg_bin/pg_ctl" -D "$pg/data" -l "$pg/server.log" -w start \
          -o "-p $pg_port -k $pg -c listen_addresses=127.0.0.1 -c fsync=off -c full_page_writes=off -c max_connections=60" >/dev/null ;;
      fast|immediate)
        pg_request resume
        as_server_user "$pg_bin/pg_ctl" -D "$pg/data" -m "$1" -w stop >/dev/null ;;
      pause) kill -STOP $(pg_processes) ;;
      resume) kill -CONT $(pg_processes | tac) 2>/dev/null || true ;;
      *) echo "unknown request $1"; return 1 ;;
    esac
  }
  (
    while :; do
      if [[ -f $pg/control/request ]]; then
        request=$(< "$pg/control/request")
        rm -f "$pg/control/request"
        if reason=$(pg_request "$request" 2>&1); then echo ok; else echo "the host could not $request the server: $reason"; fi \
          > "$pg/control/answer.part"
        mv "$pg/control/answer.part" "$pg/control/answer"
      fi
      sleep 0.05
    done
  ) &
  pg_agent=$!
  stop_server() {
    kill "$pg_agent" 2>/dev/null || true
    [[ -f $pg/data/postmaster.pid ]] && { pg_request resume; as_server_user "$pg_bin/pg_ctl" -D "$pg/data" -m immediate -w stop >/dev/null 2>&1; }
    true
  }
  trap stop_server EXIT
  for name in "${!pg_left_out[@]}"; do
    left_out[$name]=${pg_left_out[$name]}
    left_out_reason[$name]=${pg_left_out_reason[$name]}
  done
  export KORVANE_TEST_PGSERVER="$pg_port;Z:${pg//\//\\}\\control"
else
  for name in "${!pg_functions[@]}"; do
    left_out[$name]=${pg_functions[$name]}
    left_out_reason[$name]="needs a PostgreSQL server: $pg_skip"
  done
fi

export WINEPREFIX=$check/wine
say "Creating a fresh Wine prefix for the tests"
wineboot -i >/dev/null 2>&1 || true
export KORVANE_SOURCE_DIR=$repo
# The report's test reads its PDFs with the host's pdftotext, which Wine
# starts as it starts Windows programs.
if pdftotext=$(command -v pdftotext); then
  export KORVANE_PDFTOTEXT="Z:${pdftotext//\//\\}"
fi

passed=0 failed=0 skipped=0 ran=0
failures=()
left=()
summary=$check/summary.txt
: > "$summary"
for name in "${programs[@]}"; do
  exe=$run/$name.exe
  if [[ -n $pg_skip && " ${pg_programs[*]} " == *" $name "* ]]; then
    left+=("$name: needs a PostgreSQL server: $pg_skip")
    continue
  fi
  ran=$((ran + 1))
  if [[ ! -f $exe ]]; then
    failures+=("$name (not built)")
    printf '%-34s FAILED   not built\n' "$name" >> "$summary"
    continue
  fi
  area=${name%%_*} subject=${name#*_}
  # Qt's platform option is for the programs with a window system only:
  # those whose Qt Test main makes a QApplication, as it does when they link
  # Qt Gui.  (The imports are read whole first: grep -q leaving early would
  # fail the pipe.)
  platform=()
  imports=$("$triple-objdump" -p "$exe")
  if grep -qE 'DLL Name: Qt6(Gui|Widgets).dll' <<< "$imports" && grep -q '^QTEST_MAIN(' "$repo/tests/$area/$subject.cpp"; then
    platform=(-platform offscreen)
  fi
  functions=()
  if [[ -n ${left_out[$name]:-} ]]; then
    # Every test function of the program but those left out, as the
    # program lists them.
    while read -r fn; do
      [[ -z $fn || " ${left_out[$name]} " == *" $fn "* ]] || functions+=("$fn")
    done < <(cd "$run" && wine "./$name.exe" "${platform[@]}" -functions 2>/dev/null | tr -d '\r' | sed -n 's/()$//p')
  fi
  # The German system as Wine takes it from the locale variables.
  environment=()
  [[ $name == app_tst_language ]] && environment=(LANG=de_DE.UTF-8 LANGUAGE=de LC_ALL=de_DE.UTF-8)
  say "$name"
  log=$name.txt
  started=$SECONDS
  set +e
  # The results go to a file: Wine hands Qt Test no standard output.
  (cd "$run" && env "${environment[@]}" timeout 300 wine "./$name.exe" "${platform[@]}" -o "$log,txt" "${functions[@]}") \
    > "$check/$name.out" 2>&1
  status=$?
  set -e
  # Nothing of one program may outlive it into the next one's run.
  timeout 30 wineserver -w 2>/dev/null || wineserver -k 2>/dev/null || true
  [[ -f $run/$log ]] && mv "$run/$log" "$check/$log"
  touch "$check/$log"
  totals=$(tr -d '\r' < "$check/$log" | grep -E '^Totals: ' | tail -n 1 || true)
  p=$(sed -n 's/^Totals: \([0-9]*\) passed.*/\1/p' <<< "$totals")
  f=$(sed -n 's/.* \([0-9]*\) failed.*/\1/p' <<< "$totals")
  s=$(sed -n 's/.* \([0-9]*\) skipped.*/\1/p' <<< "$totals")
  passed=$((passed + ${p:-0})) failed=$((failed + ${f:-0})) skipped=$((skipped + ${s:-0}))
  seconds=$((SECONDS - started))
  if [[ -z $totals ]]; then
    why="no result, status $status"
    [[ $status -eq 124 ]] && why="no result: stopped after 300 s"
    failures+=("$name ($why)")
    printf '%-34s FAILED   %s\n' "$name" "$why" >> "$summary"
  elif [[ $status -ne 0 || ${f:-0} -ne 0 ]]; then
    failures+=("$name (status $status, $totals)")
    printf '%-34s FAILED   %4d passed %3d failed %3d skipped  (%d s)\n' "$name" "${p:-0}" "${f:-0}" "${s:-0}" "$seconds" >> "$summary"
  else
    printf '%-34s ok       %4d passed %3d failed %3d skipped  (%d s)\n' "$name" "${p:-0}" "${f:-0}" "${s:-0}" "$seconds" >> "$summary"
  fi
done
# Every test program of the sources is run, or left out with its reason.
for source in "$repo"/tests/*/tst_*.cpp; do
  subject=$(basename "$source" .cpp) area=$(basename "$(dirname "$source")")
  name=${area}_$subject
  [[ -f $build/tests/$name.exe ]] && continue
  if [[ -n ${program_left_out[$name]:-} ]]; then
    left+=("$name: ${program_left_out[$name]}")
  else
    failures+=("$name (not built for Windows, and no reason given here)")
    left+=("$name: NOT BUILT, AND NO REASON GIVEN")
  fi
done
for name in "${!left_out[@]}"; do
  left+=("$name ${left_out[$name]}: ${left_out_reason[$name]}")
done
[[ ${#left[@]} -eq 0 ]] || printf 'left out: %s\n' "${left[@]}" | sort >> "$summary"
printf 'Tests under Wine: %d passed, %d failed, %d skipped in %d programs\n' \
  "$passed" "$failed" "$skipped" "$ran" >> "$summary"

cat "$summary"
if [[ ${#failures[@]} -gt 0 ]]; then
  printf '  failed: %s\n' "${failures[@]}"
  exit 1
fi
say "All passed"
