#!/usr/bin/env bash
# The check of the Windows build (what `make check-windows` runs):
#   1. builds it with its tests and packs it (scripts/build-windows.sh --tests);
#   2. runs every test program under Wine in a fresh Wine prefix, on the
#      offscreen platform, leaving out only the test functions listed below
#      with their reason;
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

# Test functions left out under Wine, with the reason (test program:
# space-separated functions).
declare -A left_out=(
  [model_tst_csvexport]="failedWriteKeepsThePreviousFile"
  [core_tst_files_win]="createdFilesAndFoldersArePrivate"
)
declare -A left_out_reason=(
  [model_tst_csvexport]="needs a per-process limit of the file size (RLIMIT_FSIZE), which Windows has not"
  [core_tst_files_win]="under Wine 8 the access list given at creation reads back as the inherited one (to be checked on Windows)"
)

bash "$repo/scripts/build-windows.sh" --tests
version=$(sed -n 's/^project(Korvane VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
folder=$out/korvane-$version
build=$out/build
rm -rf "$check"
mkdir -p "$check"

# ------------------------------------------------------------- the tests
# The test programs run in a copy of the program folder, beside the DLLs,
# plugins, fonts and modules the program itself has, plus what only the
# tests import (Qt Test).
run=$check/run
cp -a "$folder" "$run"
cp "$build"/tests/*.exe "$run/"
qt=$(bash "$repo/scripts/build-qt-mingw.sh" --print-prefix)
for exe in "$run"/*.exe; do
  "$triple-objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | while read -r dll; do
    [[ -f $run/$dll || ! -f $qt/bin/$dll ]] || cp "$qt/bin/$dll" "$run/"
  done
done

export WINEPREFIX=$check/wine-tests
say "Creating a fresh Wine prefix for the tests"
wineboot -i >/dev/null 2>&1 || true
export KORVANE_SOURCE_DIR=$repo

passed=0 failed=0 skipped=0
failures=()
summary=$check/summary.txt
: > "$summary"
for exe in "$run"/*_tst_*.exe; do
  name=$(basename "$exe" .exe)
  functions=()
  if [[ -n ${left_out[$name]:-} ]]; then
    # Every test function of the program but those left out, as its source
    # defines them.
    area=${name%%_*} subject=${name#*_}
    while read -r fn; do
      [[ " ${left_out[$name]} " == *" $fn "* ]] || functions+=("$fn")
    done < <(sed -n 's/^void [A-Za-z]*::\([A-Za-z0-9]*\)()$/\1/p' "$repo/tests/$area/$subject.cpp" \
               | grep -v -e '_data$' -e '^init' -e '^cleanup')
  fi
  # Qt's platform option is for the programs with a window system only.
  platform=()
  if "$triple-objdump" -p "$exe" | grep -qE 'DLL Name: Qt6(Gui|Widgets).dll'; then platform=(-platform offscreen); fi
  environment=()
  [[ $name == app_tst_language ]] && environment=(LANG=de_DE.UTF-8 LANGUAGE=de LC_ALL=de_DE.UTF-8)
  log=$check/$name.log
  set +e
  # The results go to a file: Wine hands Qt Test no standard output.
  (cd "$run" && env "${environment[@]}" timeout 300 wine "./$name.exe" "${platform[@]}" -o "$(basename "$log"),txt" \
      "${functions[@]}") > "$check/$name.out" 2>&1
  status=$?
  [[ -f $run/$(basename "$log") ]] && mv "$run/$(basename "$log")" "$log"
  touch "$log"
  set -e
  totals=$(tr -d '\r' < "$log" | grep -E '^Totals: ' | tail -n 1 || true)
  p=$(sed -n 's/^Totals: \([0-9]*\) passed.*/\1/p' <<< "$totals")
  f=$(sed -n 's/.* \([0-9]*\) failed.*/\1/p' <<< "$totals")
  s=$(sed -n 's/.* \([0-9]*\) skipped.*/\1/p' <<< "$totals")
  passed=$((passed + ${p:-0})) failed=$((failed + ${f:-0})) skipped=$((skipped + ${s:-0}))
  if [[ $status -ne 0 || -z $totals ]]; then
    failures+=("$name (status $status${totals:+, $totals})")
    printf '%-36s FAILED  %s\n' "$name" "${totals:-no result, status $status}" >> "$summary"
  else
    printf '%-36s ok      %s\n' "$name" "$totals" >> "$summary"
  fi
done
for name in "${!left_out[@]}"; do
  printf 'left out: %s %s: %s\n' "$name" "${left_out[$name]}" "${left_out_reason[$name]}" >> "$summary"
done

# ------------------------------------------- the installed program
# The setup program installed, run against the Linux build and uninstalled
# (scripts/check-windows-install.sh).
bash "$repo/scripts/check-windows-install.sh"

cat "$summary"
say "Tests under Wine: $passed passed, $failed failed, $skipped skipped"
if [[ ${#failures[@]} -gt 0 ]]; then
  printf '  failed: %s\n' "${failures[@]}"
  exit 1
fi
say "All passed"
