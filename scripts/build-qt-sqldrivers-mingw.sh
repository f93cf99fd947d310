#!/usr/bin/env bash
# Builds the SQL side of the Windows build of Korvane on top of the Qt of
# scripts/build-qt-mingw.sh and the libraries of scripts/build-deps-mingw.sh,
# without building qtbase again:
#   - bin/sqlite3.dll: SQLite as one shared library, made from the very
#     static library the Qt build compiled (same source, same options).
#     Korvane reads its tables through the handle the Qt driver opened, so
#     the driver and the program must share one SQLite, as they share the
#     system's libsqlite3 on Linux: with a copy in each, the program's copy
#     is never initialised and the first statement it prepares calls a null
#     allocator.
#   - plugins/sqldrivers/qsqlite.dll, linked against that DLL, and
#     plugins/sqldrivers/qsqlpsql.dll, linked against the cross-built libpq:
#     Qt's sqldrivers project from the same qt6-base source, configured on
#     its own against the Qt prefix.
#
#   scripts/build-qt-sqldrivers-mingw.sh                 build (a minute or two)
#   scripts/build-qt-sqldrivers-mingw.sh --print-prefix  print where it is installed
#
# The result lands in ~/.cache/korvane/qt-sqldrivers-mingw-<key>/, the key
# taken over the two prefixes' names (which carry their versions and
# recipes) and this script: a new Qt, new libraries or a changed recipe
# build anew, an unchanged one is never built twice.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
script=$repo/scripts/build-qt-sqldrivers-mingw.sh
cache=${XDG_CACHE_HOME:-$HOME/.cache}/korvane
triple=x86_64-w64-mingw32
stamp_name=.korvane-sqldrivers-complete
products=(bin/sqlite3.dll lib/libsqlite3.dll.a include/sqlite3.h
          plugins/sqldrivers/qsqlite.dll plugins/sqldrivers/qsqlpsql.dll)

started=$SECONDS
say() { printf '[build-qt-sqldrivers-mingw %s] %s\n' "$(date +%H:%M:%S)" "$*"; }
fail() { say "FAILED: $*" >&2; exit 1; }
elapsed() { local s=$((SECONDS - $1)); printf '%dm%02ds' $((s / 60)) $((s % 60)); }

compute_prefix() {
  qt=$(bash "$repo/scripts/build-qt-mingw.sh" --print-prefix)
  deps=$(bash "$repo/scripts/build-deps-mingw.sh" --print-prefix)
  local key
  key=$( { basename "$qt"; basename "$deps"; cat "$script"; } | sha256sum | cut -c1-12)
  prefix=$cache/qt-sqldrivers-mingw-$key
}

if [[ "${1:-}" == "--print-prefix" ]]; then
  compute_prefix
  printf '%s\n' "$prefix"
  exit 0
elif [[ $# -gt 0 ]]; then
  echo "usage: scripts/build-qt-sqldrivers-mingw.sh [--print-prefix]" >&2
  exit 2
fi

compute_prefix
if [[ -f $prefix/$stamp_name ]]; then
  say "Already built: $prefix"
  exit 0
fi
[[ -f $qt/.korvane-qt-complete ]] || fail "Qt is not built yet (scripts/build-qt-mingw.sh)"
[[ -f $deps/.korvane-deps-complete ]] || fail "libpq is not built yet (scripts/build-deps-mingw.sh)"
for file in "$qt/lib/libsqlite3.a" "$qt/include/sqlite3.h" "$deps/include/libpq-fe.h" "$deps/lib/libpq.a"; do
  [[ -f $file ]] || fail "missing $file"
done

work=$cache/work/qt-sqldrivers-mingw
mkdir -p "$work"
exec 9>"$cache/build-qt-sqldrivers-mingw.lock"
flock -n 9 || fail "another build-qt-sqldrivers-mingw.sh is running"
for other in "$cache"/qt-sqldrivers-mingw-*; do
  [[ -d $other && $other != "$prefix" && ! -f $other/$stamp_name ]] || continue
  rm -rf "$other"
done
rm -rf "$prefix"
mkdir -p "$prefix/bin" "$prefix/lib" "$prefix/include"

# ----------------------------------------------------------------- SQLite
# Every object of the static library into one DLL; with no symbol marked
# for export the linker exports them all, and writes the import library.
t=$SECONDS
say "SQLite: sqlite3.dll from $qt/lib/libsqlite3.a"
"$triple-gcc-posix" -shared -o "$prefix/bin/sqlite3.dll" \
  -Wl,--whole-archive "$qt/lib/libsqlite3.a" -Wl,--no-whole-archive \
  -Wl,--out-implib,"$prefix/lib/libsqlite3.dll.a" \
  || fail "SQLite: linking sqlite3.dll"
cp "$qt/include/sqlite3.h" "$qt/include/sqlite3ext.h" "$prefix/include/"
say "SQLite: done ($(elapsed "$t"))"

# ------------------------------------------------------------ the drivers
# The qtbase source: the one the Qt build unpacked, else fetched again at
# the version of the host tools (the version of the cached Qt).
qt_work=$cache/work/$(basename "$qt" | sed 's/-[0-9a-f]*$//')
src=$(find "$qt_work/src/qt6-base" -mindepth 1 -maxdepth 1 -type d 2>/dev/null | head -n 1 || true)
if [[ -z $src || ! -f $src/src/plugins/sqldrivers/CMakeLists.txt ]]; then
  src=$(find "$work/src" -mindepth 1 -maxdepth 1 -type d 2>/dev/null | head -n 1 || true)
  if [[ -z $src || ! -f $work/src/.fetched ]]; then
    version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev-tools)
    say "Fetching the source of qt6-base $version"
    rm -rf "$work/src"
    mkdir -p "$work/src"
    (cd "$work/src" && apt-get source -qq "qt6-base=$version") > "$work/fetch.log" 2>&1 \
      || { tail -n 20 "$work/fetch.log"; fail "no qt6-base source"; }
    touch "$work/src/.fetched"
    src=$(find "$work/src" -mindepth 1 -maxdepth 1 -type d | head -n 1)
  fi
fi
t=$SECONDS
say "Drivers: Qt's sqldrivers project from $src"
# The toolchain file the Qt was built with travels in its prefix.
b=$work/build
rm -rf "$b"
mkdir -p "$b"
(cd "$b" && cmake -G Ninja "$src/src/plugins/sqldrivers" \
   -DCMAKE_TOOLCHAIN_FILE="$qt/share/korvane/mingw-w64-x86_64.cmake" \
   -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
   -DCMAKE_PREFIX_PATH="$prefix;$qt;$deps" -DCMAKE_INSTALL_PREFIX="$b/install" \
   -DCMAKE_BUILD_TYPE=Release \
   -DFEATURE_sql_sqlite=ON -DFEATURE_system_sqlite=ON \
   -DSQLite3_INCLUDE_DIR="$prefix/include" -DSQLite3_LIBRARY="$prefix/lib/libsqlite3.dll.a" \
   -DFEATURE_sql_psql=ON \
   -DPostgreSQL_INCLUDE_DIR="$deps/include" -DPostgreSQL_LIBRARY="$deps/lib/libpq.a" \
   -DFEATURE_sql_odbc=OFF -DFEATURE_sql_mysql=OFF -DFEATURE_sql_ibase=OFF \
   -DFEATURE_sql_oci=OFF -DFEATURE_sql_db2=OFF) \
  > "$b/configure.log" 2>&1 || { tail -n 40 "$b/configure.log"; fail "configure (log $b/configure.log)"; }
for driver in PostgreSQL SQLite 'Using system provided SQLite'; do
  grep -Eq "^ *$driver \.+ yes" "$b/config.summary" \
    || { cat "$b/config.summary"; fail "configured without: $driver"; }
done
flock /tmp/korvane-cpu.lock nice -n 10 ninja -C "$b" -j "${KORVANE_JOBS:-2}" > "$b/build.log" 2>&1 \
  || { tail -n 40 "$b/build.log"; fail "build (log $b/build.log)"; }
for driver in qsqlite qsqlpsql; do
  install -D -m 644 "$b/plugins/sqldrivers/$driver.dll" "$prefix/plugins/sqldrivers/$driver.dll"
done
imports=$("$triple-objdump" -p "$prefix/plugins/sqldrivers/qsqlite.dll")
grep -q 'DLL Name: sqlite3.dll' <<< "$imports" \
  || fail "qsqlite.dll does not use sqlite3.dll"
say "Drivers: done ($(elapsed "$t"))"

for file in "${products[@]}"; do
  [[ -f $prefix/$file ]] || fail "built without $file"
done
echo "built $(date -u +%Y-%m-%dT%H:%M:%SZ) in $(elapsed "$started") by scripts/build-qt-sqldrivers-mingw.sh" \
  > "$prefix/$stamp_name.tmp"
mv "$prefix/$stamp_name.tmp" "$prefix/$stamp_name"
say "Done in $(elapsed "$started"): $prefix"
