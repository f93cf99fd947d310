#!/usr/bin/env bash
# Cross-builds with MinGW-w64 the libraries besides Qt that the Windows
# build of Korvane uses, from Debian's source packages:
#   - OpenSSL (source package openssl): libcrypto and libssl, for TLS;
#   - libpq (source package postgresql-15), with TLS through that OpenSSL;
#   - libxlsxwriter (source package libxlsxwriter), on the static zlib of
#     Debian's libz-mingw-w64-dev.
#
#   scripts/build-deps-mingw.sh                 build (or resume)
#   scripts/build-deps-mingw.sh --print-prefix  print where they are installed
#
# The result lands in
#   ~/.cache/korvane/deps-mingw-<GCC version>-<versions and recipe hash>/
# with bin/ (the DLLs), include/ and lib/; the hash is taken over the source
# versions and this script, so an unchanged recipe is never built twice (a
# stamp file, written last, marks a finished prefix).  Sources, build
# folders and the staging folder the libraries install into first are kept
# in ~/.cache/korvane/work/deps-mingw/, so a changed recipe rebuilds only
# what it changes; the staging folder is copied into the prefix at the end.  Builds at nice 19
# with KORVANE_JOBS jobs (default 1: it runs beside the Qt build).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
script=$repo/scripts/build-deps-mingw.sh
jobs=${KORVANE_JOBS:-1}
cache=${XDG_CACHE_HOME:-$HOME/.cache}/korvane
triple=x86_64-w64-mingw32
stamp_name=.korvane-deps-complete
work=$cache/work/deps-mingw

started=$SECONDS
say() { printf '[build-deps-mingw %s] %s\n' "$(date +%H:%M:%S)" "$*"; }
fail() { say "FAILED: $*" >&2; exit 1; }
elapsed() { local s=$((SECONDS - $1)); printf '%dm%02ds' $((s / 60)) $((s % 60)); }

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi

# The archive may list versions whose files it no longer serves (a
# security update replaced them): each package is taken at the newest
# version that can be fetched.  The cache is keyed by the versions the
# archive offers and this script.
archive_versions() {
  apt-cache showsrc --only-source "$1" 2>/dev/null \
    | sed -n 's/^Version: //p' | sort -Vr | uniq
}
compute_prefix() {
  local gcc_version
  gcc_version=$(dpkg-query -W -f='${Version}' gcc-mingw-w64-x86-64-posix 2>/dev/null) \
    || fail "gcc-mingw-w64-x86-64-posix is not installed"
  gcc_version=${gcc_version#*:}
  gcc_version=${gcc_version%%[-+~]*}
  local pkg offered=
  for pkg in openssl postgresql-15 libxlsxwriter; do
    [[ -n $(archive_versions "$pkg") ]] \
      || fail "the archive has no source of $pkg (deb-src entries: run scripts/build-qt-mingw.sh first)"
    offered+="$pkg $(archive_versions "$pkg" | tr '\n' ' ')"$'\n'
  done
  local key
  key=$( { printf '%s' "$offered"; cat "$script"; } | sha256sum | cut -c1-12)
  prefix=$cache/deps-mingw-$gcc_version-$key
}

if [[ "${1:-}" == "--print-prefix" ]]; then
  compute_prefix
  printf '%s\n' "$prefix"
  exit 0
elif [[ $# -gt 0 ]]; then
  echo "usage: scripts/build-deps-mingw.sh [--print-prefix]" >&2
  exit 2
fi

bash "$repo/scripts/install-deps.sh" --windows
compute_prefix
if [[ -f $prefix/$stamp_name ]]; then
  say "Already built: $prefix"
  exit 0
fi
mkdir -p "$cache" "$work"
exec 9>"$cache/build-deps-mingw.lock"
flock -n 9 || fail "another build-deps-mingw.sh is running"
# An unfinished prefix of another recipe is of no use; the build folders
# in the work folder are kept, so what did not change builds at once.
for other in "$cache"/deps-mingw-*; do
  [[ -d $other && $other != "$prefix" && ! -f $other/$stamp_name ]] || continue
  say "Removing the unfinished prefix of an earlier recipe: $other"
  rm -rf "$other"
done
mkdir -p "$prefix"
say "Building OpenSSL, libpq and libxlsxwriter"
say "  install prefix: $prefix; $jobs jobs at nice 19"
stage=$work/stage
mkdir -p "$stage"

# Prints the unpacked source folder of a package, fetching it first.
fetch_source() {
  local pkg=$1 dir v
  for dir in "$work/src/$pkg"-*; do
    if [[ -f $dir/.fetched ]]; then
      find "$dir" -mindepth 1 -maxdepth 1 -type d | head -n 1
      return 0
    fi
  done
  for v in $(archive_versions "$pkg"); do
    dir=$work/src/$pkg-$v
    say "Fetching the source of $pkg $v" >&2
    rm -rf "$dir"
    mkdir -p "$dir"
    (cd "$dir" && apt-get source -qq "$pkg=$v") >"$dir.log" 2>&1 || true
    if [[ -n $(find "$dir" -mindepth 1 -maxdepth 1 -type d) ]]; then
      touch "$dir/.fetched"
      find "$dir" -mindepth 1 -maxdepth 1 -type d | head -n 1
      return 0
    fi
    say "  $pkg $v cannot be fetched ($(grep -m1 -o '[0-9]* *Not Found' "$dir.log" || echo 'see '"$dir.log"))" >&2
    rm -rf "$dir"
  done
  fail "no version of $pkg could be fetched"
}

# ---------------------------------------------------------------- OpenSSL
build_openssl() {
  local src b=$work/build/openssl t=$SECONDS
  [[ -f $stage/.korvane-openssl ]] && { say "OpenSSL: already installed"; return 0; }
  src=$(fetch_source openssl)
  if [[ ! -f $b/Makefile ]]; then
    rm -rf "$b"; mkdir -p "$b"
    say "OpenSSL: configuring"
    (cd "$b" && CC=$triple-gcc-posix RC=$triple-windres AR=$triple-ar RANLIB=$triple-ranlib \
       perl "$src/Configure" mingw64 shared no-tests no-engine no-module \
       --prefix="$stage" --libdir=lib) > "$b/configure.log" 2>&1 \
      || { tail -n 30 "$b/configure.log"; fail "OpenSSL: configure"; }
  fi
  say "OpenSSL: building"
  nice -n 19 make -C "$b" -j"$jobs" build_libs > "$b/make.log" 2>&1 \
    || { tail -n 30 "$b/make.log"; fail "OpenSSL: build"; }
  nice -n 19 make -C "$b" install_dev install_runtime_libs > "$b/install.log" 2>&1 \
    || { tail -n 30 "$b/install.log"; fail "OpenSSL: install"; }
  touch "$stage/.korvane-openssl"
  say "OpenSSL: done ($(elapsed "$t"))"
}

# ------------------------------------------------------------------ libpq
# Only the client library: the server, its tools and its tests are left
# out.  libpq needs the generated headers and the port and common
# libraries of the tree first.
build_libpq() {
  local src b=$work/build/postgresql t=$SECONDS
  [[ -f $stage/.korvane-libpq ]] && { say "libpq: already installed"; return 0; }
  src=$(fetch_source postgresql-15)
  if [[ ! -f $b/GNUmakefile ]]; then
    rm -rf "$b"; mkdir -p "$b"
    say "libpq: configuring"
    (cd "$b" && "$src/configure" --host=$triple CC=$triple-gcc-posix \
       --prefix="$stage" --with-openssl --without-readline --without-zlib \
       --without-icu --without-llvm --disable-nls \
       CPPFLAGS="-I$stage/include" LDFLAGS="-L$stage/lib") > "$b/configure.log" 2>&1 \
      || { tail -n 30 "$b/configure.log"; fail "libpq: configure"; }
  fi
  say "libpq: building"
  local dir
  for dir in src/include src/common src/port src/interfaces/libpq; do
    nice -n 19 make -C "$b/$dir" -j"$jobs" > "$b/make.log" 2>&1 \
      || { tail -n 30 "$b/make.log"; fail "libpq: build of $dir"; }
  done
  for dir in src/include src/interfaces/libpq; do
    nice -n 19 make -C "$b/$dir" install > "$b/install.log" 2>&1 \
      || { tail -n 30 "$b/install.log"; fail "libpq: install of $dir"; }
  done
  [[ -f $stage/bin/libpq.dll || -f $stage/lib/libpq.dll ]] || fail "libpq: no libpq.dll was built"
  mkdir -p "$stage/bin"
  [[ -f $stage/bin/libpq.dll ]] || cp "$stage/lib/libpq.dll" "$stage/bin/libpq.dll"
  touch "$stage/.korvane-libpq"
  say "libpq: done ($(elapsed "$t"))"
}

# ---------------------------------------------------------- libxlsxwriter
build_xlsxwriter() {
  local src b=$work/build/libxlsxwriter t=$SECONDS
  [[ -f $stage/.korvane-xlsxwriter ]] && { say "libxlsxwriter: already installed"; return 0; }
  src=$(fetch_source libxlsxwriter)
  rm -rf "$b"; mkdir -p "$b"
  say "libxlsxwriter: configuring"
  (cd "$b" && cmake -G Ninja "$src" \
     -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_C_COMPILER=$triple-gcc-posix \
     -DCMAKE_CXX_COMPILER=$triple-g++-posix \
     -DCMAKE_RC_COMPILER=$triple-windres \
     -DCMAKE_FIND_ROOT_PATH=/usr/$triple \
     -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY \
     -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY -DCMAKE_FIND_ROOT_PATH_MODE_PACKAGE=ONLY \
     -DZLIB_LIBRARY=/usr/$triple/lib/libz.a -DZLIB_INCLUDE_DIR=/usr/$triple/include \
     -DBUILD_SHARED_LIBS=ON -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF \
     -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$stage") > "$b/configure.log" 2>&1 \
    || { tail -n 30 "$b/configure.log"; fail "libxlsxwriter: configure"; }
  say "libxlsxwriter: building"
  nice -n 19 ninja -C "$b" -j "$jobs" > "$b/make.log" 2>&1 \
    || { tail -n 30 "$b/make.log"; fail "libxlsxwriter: build"; }
  nice -n 19 cmake --install "$b" > "$b/install.log" 2>&1 \
    || { tail -n 30 "$b/install.log"; fail "libxlsxwriter: install"; }
  touch "$stage/.korvane-xlsxwriter"
  say "libxlsxwriter: done ($(elapsed "$t"))"
}

build_openssl
build_libpq
build_xlsxwriter
rm -rf "$prefix"
mkdir -p "$prefix"
cp -a "$stage/." "$prefix/"
rm -f "$prefix"/.korvane-*
for file in bin/libpq.dll bin/libssl-3-x64.dll bin/libcrypto-3-x64.dll include/libpq-fe.h; do
  [[ -f $prefix/$file ]] || fail "installed without $file"
done
echo "built $(date -u +%Y-%m-%dT%H:%M:%SZ) in $(elapsed "$started") by scripts/build-deps-mingw.sh" \
  > "$prefix/$stamp_name.tmp"
mv "$prefix/$stamp_name.tmp" "$prefix/$stamp_name"
say "Done in $(elapsed "$started"): $prefix"
