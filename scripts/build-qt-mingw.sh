#!/usr/bin/env bash
# Builds the Qt that the Windows build of Korvane links against, cross-built
# with MinGW-w64: qtbase from Debian's qt6-base source package, with SQLite
# from Debian's sqlite3 source package for the SQL driver and for Korvane
# itself, and qtsvg, qtcharts and qtspeech from the Qt project's git at the
# tag of the same release.  The host tools (moc, rcc, uic) are those of
# Debian's qt6-base-dev-tools, which is the same Qt version.
#
#   scripts/build-qt-mingw.sh                 build (or resume) the Qt
#   scripts/build-qt-mingw.sh --print-prefix  print where it is installed
#
# KORVANE_QT_GIT names a folder holding the git repositories qtsvg,
# qtcharts and qtspeech (clones or bare repositories, with or without a
# .git suffix, or links to them).  Without it they are cloned from the Qt
# project's public git.  Only the tag's tree is used, and only when the tag
# names the commit written below; anything else is refused.
#
# The result lands in
#   ~/.cache/korvane/qt-<Qt version>-mingw-<GCC version>-<recipe hash>/
# where the recipe hash is taken over this script and the toolchain file,
# so a changed recipe builds a new Qt and an unchanged one is never built
# twice: a finished prefix carries a stamp file, written last, and the
# script leaves it alone.  Sources and build folders live in
#   ~/.cache/korvane/work/qt-<Qt version>-mingw-<GCC version>/
# and are kept, so an interrupted or failed run resumes where it stopped
# and a changed recipe rebuilds only what the change touches.
#
# Runs unattended as root on a fresh Debian 12 machine (or as a user with
# sudo): it installs the packages it needs and enables the deb-src entries
# of the Debian archive for `apt-get source`.  It builds at low priority
# with KORVANE_JOBS (default 2) jobs.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
script=$repo/scripts/build-qt-mingw.sh
toolchain=$repo/packaging/windows/mingw-w64-x86_64.cmake
jobs=${KORVANE_JOBS:-2}
cache=${XDG_CACHE_HOME:-$HOME/.cache}/korvane
triple=x86_64-w64-mingw32
stamp_name=.korvane-qt-complete

started=$SECONDS
say() { printf '[build-qt-mingw %s] %s\n' "$(date +%H:%M:%S)" "$*"; }
fail() { say "FAILED: $*" >&2; exit 1; }
elapsed() { local s=$((SECONDS - $1)); printf '%dm%02ds' $((s / 60)) $((s % 60)); }

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi

# The versions that key the cache come from the installed packages.
upstream_version() {
  local v
  v=$(dpkg-query -W -f='${Version}' "$1" 2>/dev/null) || return 1
  v=${v#*:}
  printf '%s\n' "${v%%[-+~]*}"
}
compute_prefix() {
  qt_version=$(upstream_version qt6-base-dev-tools) \
    || fail "qt6-base-dev-tools is not installed"
  gcc_version=$(upstream_version gcc-mingw-w64-x86-64-posix) \
    || fail "gcc-mingw-w64-x86-64-posix is not installed"
  recipe=$(cat "$script" "$toolchain" | sha256sum | cut -c1-12)
  versions=qt-$qt_version-mingw-$gcc_version
  prefix=$cache/$versions-$recipe
  work=$cache/work/$versions
}

if [[ "${1:-}" == "--print-prefix" ]]; then
  compute_prefix
  printf '%s\n' "$prefix"
  exit 0
elif [[ $# -gt 0 ]]; then
  echo "usage: scripts/build-qt-mingw.sh [--print-prefix]" >&2
  exit 2
fi

say "Installing the packages the Windows build needs (if missing)"
bash "$repo/scripts/install-deps.sh" --windows
compute_prefix

if [[ -f $prefix/$stamp_name ]]; then
  say "Qt $qt_version for MinGW $gcc_version is already built: $prefix"
  exit 0
fi

mkdir -p "$cache" "$work"
# One build at a time per cache: a second run would write the same folders.
exec 9>"$cache/build-qt-mingw.lock"
flock -n 9 || fail "another build-qt-mingw.sh is running (lock $cache/build-qt-mingw.lock)"

say "Building Qt $qt_version for MinGW-w64 GCC $gcc_version (recipe $recipe)"
say "  install prefix: $prefix"
say "  sources and build folders: $work"
say "  jobs: $jobs, at nice 19"

# A prefix of the same versions but another recipe that never finished is
# of no use to anyone: the build folders now follow this recipe.
for other in "$cache/$versions"-*; do
  [[ -d $other && $other != "$prefix" && ! -f $other/$stamp_name ]] || continue
  say "Removing the unfinished prefix of an earlier recipe: $other"
  rm -rf "$other"
done
mkdir -p "$prefix"

# The build folders refer to the toolchain file by path, so it gets a
# fixed place that outlives the checkout; the prefix keeps a copy for the
# builds that use this Qt.
work_toolchain=$work/mingw-w64-x86_64.cmake
cmp -s "$toolchain" "$work_toolchain" 2>/dev/null || cp "$toolchain" "$work_toolchain"
mkdir -p "$prefix/share/korvane"
cp "$toolchain" "$prefix/share/korvane/mingw-w64-x86_64.cmake"

# ---------------------------------------------------------------- sources
# `apt-get source` needs deb-src entries.  Debian 12 lists its archive in
# /etc/apt/sources.list.d/debian.sources (older installs in
# /etc/apt/sources.list); each entry is repeated with the source type in a
# file of its own, once.
enable_deb_src() {
  local list_d=/etc/apt/sources.list.d
  local ours_822=$list_d/korvane-deb-src.sources ours_list=$list_d/korvane-deb-src.list
  if [[ -f $ours_822 || -f $ours_list ]]; then
    return 0
  fi
  if grep -Eqs '^[[:space:]]*Types:.*deb-src' "$list_d"/*.sources \
     || grep -Eqs '^[[:space:]]*deb-src[[:space:]]' /etc/apt/sources.list "$list_d"/*.list; then
    return 0
  fi
  local added=no tmp
  tmp=$(mktemp)
  if [[ -f $list_d/debian.sources ]]; then
    awk 'BEGIN { RS = ""; ORS = "\n\n" }
         /(^|\n)Types:[ \t]*deb([ \t]|\n|$)/ && !/deb-src/ {
           sub(/Types:[ \t]*deb/, "Types: deb-src"); print }' \
      "$list_d/debian.sources" > "$tmp"
    if [[ -s $tmp ]]; then
      "${sudo_cmd[@]}" install -m 644 "$tmp" "$ours_822"
      added=yes
    fi
  fi
  if [[ $added == no && -f /etc/apt/sources.list ]]; then
    sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list > "$tmp"
    if [[ -s $tmp ]]; then
      "${sudo_cmd[@]}" install -m 644 "$tmp" "$ours_list"
      added=yes
    fi
  fi
  rm -f "$tmp"
  [[ $added == yes ]] || fail "found no Debian apt source to repeat as deb-src"
  say "Enabled the deb-src entries of the Debian archive"
}

# Each source package is fetched into a folder of its own; a marker written
# after unpacking tells a finished fetch from an interrupted one.  The Qt
# sources are taken at the version of the installed host tools (and of the
# installed -dev packages the Linux build uses) when the archive has it.
fetch_source() {
  local pkg=$1 pin=${2:-} dir=$work/src/$1
  if [[ -f $dir/.fetched ]]; then
    say "Source of $pkg: already fetched"
    return 0
  fi
  say "Fetching the source of $pkg${pin:+ $pin}"
  rm -rf "$dir"
  mkdir -p "$dir"
  # Without the pinned version in the archive, its current one is taken.
  if [[ -n $pin ]] && ! apt-cache showsrc --only-source "$pkg" 2>/dev/null \
                        | grep -qxF "Version: $pin"; then
    say "  $pkg $pin is not in the archive; taking its current version"
    pin=
  fi
  # apt downloads as root unsandboxed here; its warning about that is
  # noise.  Whether the fetch worked shows in what got unpacked.
  (cd "$dir" && apt-get source -qq "$pkg${pin:+=$pin}") 2>&1 \
    | grep -v -e 'unsandboxed as root' -e '^dpkg-source: info: applying' || true
  local unpacked
  unpacked=$(find "$dir" -mindepth 1 -maxdepth 1 -type d | head -n 1)
  if [[ -z $unpacked ]]; then
    say "apt-get source $pkg unpacked nothing (see the messages above)"
    return 1
  fi
  touch "$dir/.fetched"
}
source_dir() {
  find "$work/src/$1" -mindepth 1 -maxdepth 1 -type d | head -n 1
}
source_version() {
  dpkg-query -W -f='${source:Version}' "$1" 2>/dev/null || true
}

t=$SECONDS
enable_deb_src
if [[ -z $(apt-cache showsrc qt6-base 2>/dev/null) ]]; then
  say "Updating the package lists"
  "${sudo_cmd[@]}" apt-get update -qq
fi
fetch_source sqlite3 "$(source_version libsqlite3-dev)" || fail "no SQLite source"
fetch_source qt6-base "$(source_version qt6-base-dev-tools)" || fail "no qtbase source"

# The modules from git: the tag, and the commit it must name.
git_tag=v6.4.2
declare -A git_commit=(
  [qtsvg]=54066fe644f2c9f7789c61b4fcb4d513eb3f775c
  [qtcharts]=445119bc19232067452594cfca454175b9ac1a83
  [qtspeech]=68c109eefe6836c8d5de58e562290bfdf8332e8e
)
git_public=https://code.qt.io/qt
# Prints the repository of a module: in KORVANE_QT_GIT, or a bare clone of
# the public one kept in the work folder.
module_repository() {
  local name=$1 candidate
  if [[ -n ${KORVANE_QT_GIT:-} ]]; then
    for candidate in "$KORVANE_QT_GIT/$name" "$KORVANE_QT_GIT/$name.git"; do
      if git -C "$candidate" rev-parse --git-dir >/dev/null 2>&1; then
        printf '%s\n' "$candidate"
        return 0
      fi
    done
    say "KORVANE_QT_GIT=$KORVANE_QT_GIT holds no repository $name or $name.git" >&2
    return 1
  fi
  candidate=$work/git/$name.git
  if [[ ! -d $candidate ]]; then
    say "Cloning $name from $git_public" >&2
    git clone -q --bare "$git_public/$name.git" "$candidate.tmp" >&2 \
      || { rm -rf "$candidate.tmp"; return 1; }
    mv "$candidate.tmp" "$candidate"
  fi
  printf '%s\n' "$candidate"
}
fetch_git_module() {
  local name=$1 dir=$work/src/$1 repository commit
  if [[ -f $dir/.fetched ]]; then
    say "Source of $name: already taken from git"
    return 0
  fi
  repository=$(module_repository "$name") || return 1
  commit=$(git -C "$repository" rev-parse --verify -q "$git_tag^{commit}") \
    || { say "$repository has no tag $git_tag" >&2; return 1; }
  if [[ $commit != "${git_commit[$name]}" ]]; then
    say "REFUSED: $name $git_tag in $repository is $commit, not ${git_commit[$name]}" >&2
    return 1
  fi
  say "Taking the source of $name $git_tag ($commit) from $repository"
  rm -rf "$dir"
  mkdir -p "$dir/$name-${git_tag#v}"
  git -C "$repository" archive "$commit" | tar -x -C "$dir/$name-${git_tag#v}" \
    || { rm -rf "$dir"; return 1; }
  touch "$dir/.fetched"
}
fetch_module_sources() {
  local ok=0 name
  for name in qtsvg qtcharts qtspeech; do
    fetch_git_module "$name" || ok=1
  done
  return $ok
}
# Fetched now as well, so a source that cannot be had shows early; qtbase
# is built even so, and they are tried again before their turn.
if fetch_module_sources; then
  say "Sources ready ($(elapsed "$t"))"
else
  say "WARNING: not every module source could be had; building what can be built first"
fi

# ----------------------------------------------------------------- SQLite
# Debian's sqlite3 source is the full tree, not the single-file
# amalgamation; the amalgamation is generated with the host compiler and
# Tcl, then compiled with MinGW into a static library.  The compile-time
# options are those of Debian's own build (debian/rules), so a database
# behaves alike on both systems.
sqlite_defines=(
  -DSQLITE_SECURE_DELETE -DSQLITE_ENABLE_COLUMN_METADATA
  -DSQLITE_ENABLE_FTS3 -DSQLITE_ENABLE_FTS3_PARENTHESIS
  -DSQLITE_ENABLE_RTREE=1 -DSQLITE_SOUNDEX=1
  -DSQLITE_ENABLE_UNLOCK_NOTIFY
  -DSQLITE_OMIT_LOOKASIDE=1 -DSQLITE_ENABLE_DBSTAT_VTAB
  -DSQLITE_ALLOW_ROWID_IN_VIEW
  -DSQLITE_ENABLE_UPDATE_DELETE_LIMIT=1
  -DSQLITE_ENABLE_LOAD_EXTENSION
  -DSQLITE_ENABLE_JSON1
  -DSQLITE_LIKE_DOESNT_MATCH_BLOBS
  -DSQLITE_THREADSAFE=1
  -DSQLITE_ENABLE_FTS3_TOKENIZER=1
  -DSQLITE_USE_URI=1
  -DSQLITE_MAX_SCHEMA_RETRY=25
  -DSQLITE_ENABLE_PREUPDATE_HOOK
  -DSQLITE_ENABLE_SESSION
  -DSQLITE_ENABLE_STMTVTAB
  -DSQLITE_MAX_VARIABLE_NUMBER=250000
)
build_sqlite() {
  local src b=$work/build/sqlite3
  src=$(source_dir sqlite3)
  mkdir -p "$b"
  if [[ ! -f $b/sqlite3.c || ! -f $b/sqlite3.h ]]; then
    say "SQLite: generating the amalgamation"
    (cd "$b" && "$src/configure" --disable-tcl > configure.log 2>&1 \
       && nice -n 19 make -j"$jobs" sqlite3.c > make.log 2>&1) \
      || { tail -n 30 "$b/configure.log" "$b/make.log" 2>/dev/null; fail "SQLite amalgamation"; }
  fi
  say "SQLite: compiling the static library with MinGW"
  nice -n 19 "$triple-gcc-posix" -O2 -fno-strict-aliasing "${sqlite_defines[@]}" \
    -c "$b/sqlite3.c" -o "$b/sqlite3.o"
  rm -f "$b/libsqlite3.a"
  "$triple-ar" rcs "$b/libsqlite3.a" "$b/sqlite3.o"
  install -D -m 644 "$b/libsqlite3.a" "$prefix/lib/libsqlite3.a"
  install -D -m 644 "$b/sqlite3.h" "$prefix/include/sqlite3.h"
  install -D -m 644 "$b/sqlite3ext.h" "$prefix/include/sqlite3ext.h"
}
t=$SECONDS
if [[ -f $prefix/lib/libsqlite3.a && -f $prefix/include/sqlite3.h ]]; then
  say "SQLite: already built"
else
  build_sqlite
  say "SQLite: done ($(elapsed "$t"))"
fi

# -------------------------------------------------------------------- Qt
# Configures a build folder when it is new or when the arguments changed
# (the arguments of the last successful configure are kept beside it),
# builds it and installs it into the prefix.  A module's step is done when
# its marker in the prefix exists.
qt_common=(
  -G Ninja
  -DCMAKE_TOOLCHAIN_FILE="$work_toolchain"
  -DQT_HOST_PATH=/usr
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DCMAKE_INSTALL_PREFIX="$prefix"
  -DCMAKE_PREFIX_PATH="$prefix"
  -DCMAKE_BUILD_TYPE=Release
  -DQT_BUILD_EXAMPLES=OFF
  -DQT_BUILD_TESTS=OFF
)
build_module() {
  local name=$1; shift
  local src b=$work/build/$name done_marker=$prefix/.korvane-$name-installed t=$SECONDS
  if [[ -f $done_marker ]]; then
    say "$name: already installed"
    return 0
  fi
  if [[ $name == qtbase ]]; then src=$(source_dir qt6-base); else src=$(source_dir "$name"); fi
  [[ -n $src ]] || fail "no source for $name"
  local args=("$src" "${qt_common[@]}" "$@")
  local wanted
  wanted=$(printf '%s\n' "${args[@]}")
  # A module other than qtbase found the Qt of one prefix; built for
  # another, its folder starts afresh (its cached package paths would
  # still point at the old one).
  if [[ $name != qtbase && -f $b/.korvane-configure-args ]] \
     && ! grep -qxF -- "-DCMAKE_INSTALL_PREFIX=$prefix" "$b/.korvane-configure-args"; then
    say "$name: the prefix changed, starting its build folder afresh"
    rm -rf "$b"
  fi
  mkdir -p "$b"
  if [[ ! -f $b/build.ninja || "$(cat "$b/.korvane-configure-args" 2>/dev/null)" != "$wanted" ]]; then
    say "$name: configuring"
    rm -f "$b/.korvane-configure-args"
    (cd "$b" && nice -n 19 cmake "${args[@]}") > "$b/configure.log" 2>&1 \
      || { tail -n 60 "$b/configure.log"; fail "$name: configure (log $b/configure.log)"; }
    printf '%s\n' "$wanted" > "$b/.korvane-configure-args"
    # The feature summary tells what this Qt can do; keep it in the log.
    [[ ! -f $b/config.summary ]] || cat "$b/config.summary"
    say "$name: configured ($(elapsed "$t"))"
  else
    say "$name: configured earlier, resuming the build"
  fi
  local steps
  steps=$(ninja -C "$b" -n 2>/dev/null | grep -c '^\[' || true)
  say "$name: building ($steps steps left, $jobs jobs)"
  nice -n 19 ninja -C "$b" -j "$jobs" \
    || fail "$name: build (resume by running this script again)"
  say "$name: built ($(elapsed "$t")), installing"
  nice -n 19 cmake --install "$b" > "$b/install.log" 2>&1 \
    || { tail -n 30 "$b/install.log"; fail "$name: install"; }
  touch "$done_marker"
  say "$name: installed ($(elapsed "$t"))"
}

# qtbase with only what Korvane uses: Core, Gui, Widgets, Sql with the
# SQLite driver, PrintSupport, Test and the Windows platform plugin.
# Debian's source has no wintab headers, so tablet events are off; ICU is
# off for now (the Windows code page functions or a cross-built ICU are a
# later question).
build_module qtbase \
  -DFEATURE_dbus=OFF \
  -DFEATURE_opengl=OFF -DINPUT_opengl=no \
  -DFEATURE_vulkan=OFF \
  -DFEATURE_icu=OFF \
  -DFEATURE_tabletevent=OFF \
  -DFEATURE_network=OFF \
  -DFEATURE_concurrent=OFF \
  -DFEATURE_xml=OFF \
  -DFEATURE_sql=ON \
  -DFEATURE_sql_sqlite=ON -DFEATURE_system_sqlite=ON \
  -DSQLite3_INCLUDE_DIR="$prefix/include" \
  -DSQLite3_LIBRARY="$prefix/lib/libsqlite3.a" \
  -DFEATURE_sql_odbc=OFF -DFEATURE_sql_psql=OFF -DFEATURE_sql_mysql=OFF \
  -DFEATURE_sql_ibase=OFF -DFEATURE_sql_oci=OFF -DFEATURE_sql_db2=OFF \
  -DFEATURE_printsupport=ON \
  -DFEATURE_testlib=ON \
  -DFEATURE_widgets=ON

for plugin in plugins/platforms/qwindows.dll plugins/sqldrivers/qsqlite.dll; do
  [[ -f $prefix/$plugin ]] || fail "qtbase installed without $plugin"
done

fetch_module_sources || fail "the sources of qtsvg, qtcharts and qtspeech are needed (see KORVANE_QT_GIT above)"

# qtspeech builds nothing, and still succeeds, without Qt::QmlIntegration,
# which its public header includes.  That module is headers and a CMake
# package only, the same for every platform: Debian's qt6-declarative-dev
# of the same version supplies them, copied into the prefix.
install_qml_integration() {
  local headers=/usr/include/x86_64-linux-gnu/qt6/QtQmlIntegration
  local package=/usr/lib/x86_64-linux-gnu/cmake/Qt6QmlIntegration
  [[ -d $headers && -d $package ]] \
    || fail "QmlIntegration headers missing (install qt6-declarative-dev)"
  mkdir -p "$prefix/include" "$prefix/lib/cmake"
  rm -rf "$prefix/include/QtQmlIntegration" "$prefix/lib/cmake/Qt6QmlIntegration"
  cp -a "$headers" "$prefix/include/QtQmlIntegration"
  cp -a "$package" "$prefix/lib/cmake/Qt6QmlIntegration"
  # The package finds its headers below Debian's include folder; here they
  # are in the prefix's.
  sed -i "s|\${_IMPORT_PREFIX}/include/x86_64-linux-gnu/qt6|$prefix/include|g" \
    "$prefix/lib/cmake/Qt6QmlIntegration"/*.cmake
}
# Wine's ISpDataKey::EnumValues always fails, and the SAPI engine's loop
# over a voice's attributes then continues for ever: it stops at the first
# failure instead, as it does at the end of the list.
patch_sapi_loop() {
  local file
  file=$(source_dir qtspeech)/src/plugins/tts/sapi/qtexttospeech_sapi.cpp
  grep -q 'korvane: stop at the first failure' "$file" && return 0
  python3 - "$file" <<'PATCH' || fail "qtspeech: the SAPI loop patch no longer applies"
import sys
path = sys.argv[1]
text = open(path, encoding="utf-8").read()
old = 'qWarning() << "ISpDataKey::EnumValues failed";\n            continue;'
new = 'qWarning() << "ISpDataKey::EnumValues failed";\n            break; // korvane: stop at the first failure'
if text.count(old) != 1:
    sys.exit(1)
open(path, "w", encoding="utf-8").write(text.replace(old, new))
PATCH
}

# Only what Korvane uses: SVG icons, the line chart without QML or OpenGL,
# and the SAPI speech engine without QML.
build_module qtsvg
build_module qtcharts
install_qml_integration
patch_sapi_loop
build_module qtspeech
for plugin in plugins/iconengines/qsvgicon.dll plugins/imageformats/qsvg.dll \
              plugins/texttospeech/qtexttospeech_sapi.dll bin/Qt6Charts.dll; do
  [[ -f $prefix/$plugin ]] || fail "installed without $plugin"
done

# Written last: its presence says the prefix is complete.
{
  echo "Qt $qt_version for Windows x86_64, MinGW-w64 GCC $gcc_version, recipe $recipe"
  echo "built $(date -u +%Y-%m-%dT%H:%M:%SZ) in $(elapsed "$started") by scripts/build-qt-mingw.sh"
} > "$prefix/$stamp_name.tmp"
mv "$prefix/$stamp_name.tmp" "$prefix/$stamp_name"
say "Done in $(elapsed "$started"): $prefix"
