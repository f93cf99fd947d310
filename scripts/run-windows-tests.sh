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
  [store_tst_sharedstore]="starts a PostgreSQL server of its own, which the Windows build cannot reach yet (no PostgreSQL driver in its Qt)"
  [store_tst_storeaction]="starts a PostgreSQL server of its own, which the Windows build cannot reach yet (no PostgreSQL driver in its Qt)"
  [store_tst_analysisviews]="runs the analyst queries with the Linux programs sqlite3 and psql against a server of its own"
  [data_tst_sharedgrid]="starts a PostgreSQL server of its own, which the Windows build cannot reach yet (no PostgreSQL driver in its Qt)"
  [data_tst_workbook]="opens the workbooks with the spreadsheet program and a Python reader of the Linux host"
)

# Test functions left out under Wine (program: space-separated functions),
# and why.
declare -A left_out=(
  [model_tst_csvexport]="failedWriteKeepsThePreviousFile"
  [app_tst_hauptform]="changeAsksForTheServersPassword"
  [clock_tst_storeactions]="saveAfterALostAnswer"
)
declare -A left_out_reason=(
  [model_tst_csvexport]="needs a per-process limit of the file size (RLIMIT_FSIZE), which Windows has not"
  [app_tst_hauptform]="needs a PostgreSQL server and Qt's PostgreSQL driver, which the Windows build has not yet"
  [clock_tst_storeactions]="starts a PostgreSQL server of its own (Linux programs), which the Windows build cannot"
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

export WINEPREFIX=$check/wine
say "Creating a fresh Wine prefix for the tests"
wineboot -i >/dev/null 2>&1 || true
export KORVANE_SOURCE_DIR=$repo
# The report's test reads its PDFs with the host's pdftotext, which Wine
# starts as it starts Windows programs.
if pdftotext=$(command -v pdftotext); then
  export KORVANE_PDFTOTEXT="Z:${pdftotext//\//\\}"
fi

passed=0 failed=0 skipped=0
failures=()
summary=$check/summary.txt
: > "$summary"
for name in "${programs[@]}"; do
  exe=$run/$name.exe
  if [[ ! -f $exe ]]; then
    failures+=("$name (not built)")
    printf '%-34s FAILED   not built\n' "$name" >> "$summary"
    continue
  fi
  area=${name%%_*} subject=${name#*_}
  functions=()
  if [[ -n ${left_out[$name]:-} ]]; then
    # Every test function of the program but those left out, as its
    # source declares them.
    while read -r fn; do
      [[ " ${left_out[$name]} " == *" $fn "* ]] || functions+=("$fn")
    done < <(sed -n 's/^void [A-Za-z]*::\([A-Za-z0-9]*\)()$/\1/p' "$repo/tests/$area/$subject.cpp" \
               | grep -v -e '_data$' -e '^init' -e '^cleanup')
  fi
  # Qt's platform option is for the programs with a window system only:
  # those whose Qt Test main makes a QApplication, as it does when they link
  # Qt Gui.  (The imports are read whole first: grep -q leaving early would
  # fail the pipe.)
  platform=()
  imports=$("$triple-objdump" -p "$exe")
  if grep -qE 'DLL Name: Qt6(Gui|Widgets).dll' <<< "$imports" && grep -q '^QTEST_MAIN(' "$repo/tests/$area/$subject.cpp"; then
    platform=(-platform offscreen)
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
    printf 'left out: %s: %s\n' "$name" "${program_left_out[$name]}" >> "$summary"
  else
    failures+=("$name (not built for Windows, and no reason given here)")
    printf 'left out: %s: NO REASON GIVEN\n' "$name" >> "$summary"
  fi
done
for name in "${!left_out[@]}"; do
  printf 'left out: %s %s: %s\n' "$name" "${left_out[$name]}" "${left_out_reason[$name]}" >> "$summary"
done
printf 'Tests under Wine: %d passed, %d failed, %d skipped in %d programs\n' \
  "$passed" "$failed" "$skipped" "${#programs[@]}" >> "$summary"

cat "$summary"
if [[ ${#failures[@]} -gt 0 ]]; then
  printf '  failed: %s\n' "${failures[@]}"
  exit 1
fi
say "All passed"
