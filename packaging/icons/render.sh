#!/usr/bin/env bash
# Renders the PNG sizes of the icon from korvane.svg (needs rsvg-convert from
# librsvg2-bin).  The PNGs are kept in the repository, so a build needs no
# renderer; run this after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "${size}x${size}"
  rsvg-convert -w "$size" -h "$size" korvane.svg -o "${size}x${size}/korvane.png"
done
python3 make-ico.py ../windows/korvane.ico
