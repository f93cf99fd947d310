#!/usr/bin/env bash
# Installs the Debian packages Korvane needs to build, test and run (clang
# and its runtime libraries for the fuzz targets among them).
# Only packages that are missing are installed; on a machine that has
# everything this touches nothing.
#
#   scripts/install-deps.sh          build and test packages
#   scripts/install-deps.sh --gui    also the tools for screenshots under Xvfb
#   scripts/install-deps.sh --package  also the tools that build and check
#                                      the Debian package
#   scripts/install-deps.sh --windows  also the tools that cross-build Qt and
#                                      Korvane for Windows and test it there
#
# The options can be combined.
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite qt6-charts-dev qt6-svg-dev
  # The platform-window headers one test reads window titles through.
  qt6-base-private-dev
  libgl-dev
  # Translations: lupdate and lrelease with their CMake functions, and Qt's
  # own German texts for its dialogs.
  qt6-l10n-tools qt6-tools-dev qt6-translations-l10n
  # Spoken cues: the speech module, the offline voice and, because the
  # module's CMake files ask for it, the QML integration headers.
  qt6-speech-dev qt6-speech-flite-plugin qt6-declarative-dev
  # The athlete view's type, with its condensed face for long countdowns.
  fonts-dejavu-core fonts-dejavu-extra
  # Chinese, Japanese and Korean names in the test report (the smallest
  # such font), and the tests' reading of the report's PDF.
  fonts-wqy-microhei poppler-utils
  libasound2-dev libsndfile1-dev libfontconfig-dev
  libbenchmark-dev sqlite3 libsqlite3-dev locales
  # The shared database: Qt's PostgreSQL driver, libpq for its fast reads,
  # and the server the tests start for themselves; psql is the shared-tables
  # benchmark's baseline.
  libqt6sql6-psql libpq-dev postgresql postgresql-client
  # The time zones the clock's tests read.
  tzdata
  dbus-daemon
  pxlib-dev
  # The workbook export's writer, and the spreadsheet and reader its tests
  # open the workbooks with.
  libxlsxwriter-dev libreoffice-calc-nogui python3-openpyxl
  # The workbook benchmark packs the sheets' XML as the writer does.
  zlib1g-dev
  xvfb
  clang libclang-rt-14-dev
)
for option in "$@"; do
  case "$option" in
    --gui)
      # A sound server with a null output lets speech work under Xvfb.
      packages+=(xdotool imagemagick x11-utils pulseaudio) ;;
    --package)
      packages+=(dpkg-dev file lintian desktop-file-utils appstream) ;;
    --windows)
      # The MinGW-w64 compilers with POSIX threads (their run-time DLLs
      # ship beside the program), Ninja for the Qt build, the host tools
      # of the same Qt version, dpkg-dev for `apt-get source`, Tcl in case
      # SQLite's single-file source has to be generated, and Wine and NSIS
      # for testing and packaging the Windows build; zlib for the
      # cross-built libxlsxwriter, zip for the program folder's archive;
      # unzip and openssl for the check of the installed program (its
      # workbook opened, a certificate for its server); Wine's own fonts
      # for the windows it draws.
      packages+=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
                 binutils-mingw-w64-x86-64 ninja-build qt6-base-dev-tools
                 dpkg-dev xz-utils tcl wine wine64 nsis
                 libz-mingw-w64-dev zip unzip openssl fonts-wine) ;;
    *)
      echo "install-deps.sh: unknown option $option" >&2
      exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed'; then
    missing+=("$p")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
