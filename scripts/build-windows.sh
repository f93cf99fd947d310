#!/usr/bin/env bash
# Cross-builds Korvane for 64-bit Windows with MinGW-w64 and packs it:
#   build/windows/korvane-<version>/                  the program folder
#   build/windows/korvane-<version>-windows-x64.zip   the same, to unpack and run
#   build/windows/Korvane-<version>-setup.exe         the installer (NSIS)
#
#   scripts/build-windows.sh           build and pack (what `make windows` runs)
#   scripts/build-windows.sh --tests   also build the test programs
#
# Qt comes from scripts/build-qt-mingw.sh, OpenSSL, libpq and libxlsxwriter
# from scripts/build-deps-mingw.sh, the shared SQLite and Qt's SQLite and
# PostgreSQL drivers from scripts/build-qt-sqldrivers-mingw.sh (each builds
# once, into the cache).  The program folder holds exactly what the program
# loads: the DLLs are found by following the imports `objdump -p` lists, from
# the program, its modules and the Qt plugins it uses, through the Qt,
# libraries and MinGW run-time folders.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=$repo/build/windows
build=$out/build
triple=x86_64-w64-mingw32
tests=OFF
[[ ${1:-} == --tests ]] && tests=ON

started=$SECONDS
say() { printf '[build-windows %s] %s\n' "$(date +%H:%M:%S)" "$*"; }
fail() { say "FAILED: $*" >&2; exit 1; }
elapsed() { local s=$((SECONDS - $1)); printf '%dm%02ds' $((s / 60)) $((s % 60)); }

bash "$repo/scripts/install-deps.sh" --windows
qt=$(bash "$repo/scripts/build-qt-mingw.sh" --print-prefix)
if [[ ! -f $qt/.korvane-qt-complete ]]; then
  say "Building Qt for Windows first (about an hour on two cores)"
  bash "$repo/scripts/build-qt-mingw.sh"
fi
deps=$(bash "$repo/scripts/build-deps-mingw.sh" --print-prefix)
if [[ ! -f $deps/.korvane-deps-complete ]]; then
  say "Building OpenSSL, libpq and libxlsxwriter for Windows first"
  KORVANE_JOBS=${KORVANE_JOBS:-2} bash "$repo/scripts/build-deps-mingw.sh"
fi
sqldrivers=$(bash "$repo/scripts/build-qt-sqldrivers-mingw.sh" --print-prefix)
if [[ ! -f $sqldrivers/.korvane-sqldrivers-complete ]]; then
  say "Building SQLite as a DLL and Qt's SQL drivers for Windows first"
  bash "$repo/scripts/build-qt-sqldrivers-mingw.sh"
fi
version=$(sed -n 's/^project(Korvane VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
[[ -n $version ]] || fail "no version in CMakeLists.txt"

# ------------------------------------------------------------------ build
t=$SECONDS
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# The libraries' pkg-config files name the folder they were staged in;
# --define-prefix takes each prefix from where its file lies instead.
# Korvane and Qt's SQLite driver share one SQLite, the DLL: Korvane works
# on the connections the driver opens.
say "Configuring (Qt $qt, libraries $deps, tests $tests)"
mkdir -p "$out"
cmake -G Ninja -S "$repo" -B "$build" \
  -DCMAKE_TOOLCHAIN_FILE="$repo/packaging/windows/mingw-w64-x86_64.cmake" \
  -DCMAKE_PREFIX_PATH="$sqldrivers;$qt;$deps" \
  -DSQLite3_INCLUDE_DIR="$sqldrivers/include" \
  -DSQLite3_LIBRARY="$sqldrivers/lib/libsqlite3.dll.a" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=$tests -DKORVANE_BENCHMARKS=OFF \
  -DPKG_CONFIG_ARGN=--define-prefix \
  "${launcher[@]}" > "$out/configure.log" 2>&1 \
  || { tail -n 40 "$out/configure.log"; fail "configure (log $out/configure.log)"; }
say "Building"
# The lock shares the machine's cores with the other builds on it.
flock /tmp/korvane-cpu.lock nice -n 10 cmake --build "$build" -j 2 \
  || fail "build"
say "Built ($(elapsed "$t"))"

# ----------------------------------------------------------------- deploy
t=$SECONDS
folder=$out/korvane-$version
rm -rf "$folder"
mkdir -p "$folder/modules" "$folder/translations" "$folder/fonts"
cp "$build/korvane.exe" "$folder/"
cp "$build"/modules/korvane_*.dll "$folder/modules/"
plugins=(
  platforms/qwindows.dll platforms/qoffscreen.dll
  styles/qwindowsvistastyle.dll
  iconengines/qsvgicon.dll imageformats/qsvg.dll
  texttospeech/qtexttospeech_sapi.dll
)
for plugin in "${plugins[@]}"; do
  [[ -f $qt/plugins/$plugin ]] || { say "  (Qt has no $plugin)"; continue; }
  install -D -m 644 "$qt/plugins/$plugin" "$folder/plugins/$plugin"
done
for plugin in sqldrivers/qsqlite.dll sqldrivers/qsqlpsql.dll; do
  install -D -m 644 "$sqldrivers/plugins/$plugin" "$folder/plugins/$plugin"
done
# libpq is loaded with the PostgreSQL driver when the shared database is
# first used, and loads the TLS libraries: copied by name as well.
cp "$deps"/bin/libpq.dll "$deps"/bin/libssl-3-x64.dll "$deps"/bin/libcrypto-3-x64.dll "$folder/"

# Every DLL an image imports that is not part of Windows, found in these
# folders, copied beside the program, and followed in turn.
dll_folders=("$sqldrivers/bin" "$qt/bin" "$deps/bin" /usr/lib/gcc/$triple/*-posix /usr/$triple/lib /usr/$triple/bin)
imports() { "$triple-objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'; }
declare -A seen=()
queue=("$folder/korvane.exe" "$folder"/modules/*.dll "$folder"/*.dll)
while IFS= read -r -d '' plugin; do queue+=("$plugin"); done < <(find "$folder/plugins" -name '*.dll' -print0)
while [[ ${#queue[@]} -gt 0 ]]; do
  image=${queue[0]}
  queue=("${queue[@]:1}")
  while IFS= read -r dll; do
    key=${dll,,}
    [[ -n ${seen[$key]:-} ]] && continue
    seen[$key]=1
    for dir in "${dll_folders[@]}"; do
      if [[ -f $dir/$dll ]]; then
        [[ -f $folder/$dll ]] || cp "$dir/$dll" "$folder/"
        queue+=("$folder/$dll")
        break
      fi
    done
  done < <(imports "$image")
done
# One SQLite for the program and the driver, never a copy in each.
for image in korvane.exe plugins/sqldrivers/qsqlite.dll; do
  imports "$folder/$image" | grep -x 'sqlite3.dll' >/dev/null || fail "$image does not use sqlite3.dll"
done
# Qt finds its plugins and translations beside the program; the offscreen
# platform (the command line, the tests) reads its fonts from fonts/.
cat > "$folder/qt.conf" <<'EOF'
[Paths]
Prefix = .
Libraries = .
Plugins = plugins
Translations = translations
EOF
cp /usr/share/qt6/translations/qtbase_de.qm "$folder/translations/" 2>/dev/null || true
cp /usr/share/fonts/truetype/dejavu/DejaVuSans*.ttf "$folder/fonts/"
# Names in Chinese, Japanese or Korean print in the command line's reports too.
cp /usr/share/fonts/truetype/wqy/wqy-microhei.ttc "$folder/fonts/"
cp "$repo/LICENSE" "$folder/LICENSE.txt"
# Symbols are of no use to a user and double the size.
find "$folder" -name '*.exe' -o -name '*.dll' | while read -r image; do
  "$triple-strip" --strip-unneeded "$image"
done
say "Program folder: $folder ($(du -sh "$folder" | cut -f1), $(find "$folder" -name '*.dll' | wc -l) DLLs) ($(elapsed "$t"))"

# ------------------------------------------------------------------- pack
zip_file=$out/korvane-$version-windows-x64.zip
rm -f "$zip_file"
(cd "$out" && zip -qr9 "$zip_file" "korvane-$version")
setup=$out/Korvane-$version-setup.exe
rm -f "$setup"
makensis -V2 -DVERSION="$version" -DSOURCE="$folder" -DOUTFILE="$setup" \
  -DICON="$repo/packaging/windows/korvane.ico" -DLICENSE="$repo/LICENSE" \
  "$repo/packaging/windows/korvane.nsi" || fail "makensis"
say "Installer: $setup ($(du -h "$setup" | cut -f1)); archive: $zip_file ($(du -h "$zip_file" | cut -f1))"
say "Done in $(elapsed "$started")"
