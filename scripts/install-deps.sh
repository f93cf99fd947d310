#!/usr/bin/env bash
# Installs the Debian packages Korvane needs to build, test and run (clang
# and its runtime libraries for the fuzz targets among them).
# Only packages that are missing are installed; on a machine that has
# everything this touches nothing.
#
#   scripts/install-deps.sh          build and test packages
#   scripts/install-deps.sh --gui    also the tools for screenshots under Xvfb
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite
  libgl-dev
  libasound2-dev libsndfile1-dev
  libbenchmark-dev sqlite3 libsqlite3-dev locales
  clang libclang-rt-14-dev
)
if [[ "${1:-}" == "--gui" ]]; then
  packages+=(xvfb xdotool imagemagick x11-utils)
fi

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
