#!/usr/bin/env bash
# The clock window of the Windows build as it opens, run under Wine on Xvfb
# with Qt's Windows platform, into docs/clock-window-windows.png (or the file
# given).  Needs the program folder of scripts/build-windows.sh.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
version=$(sed -n 's/^project(Korvane VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
folder=$repo/build/windows/korvane-$version
target=${1:-$repo/docs/clock-window-windows.png}
[[ -f $folder/korvane.exe ]] || { echo "run scripts/build-windows.sh first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/data"

cat > "$work/session.sh" <<SESSION
set -euo pipefail
export WINEPREFIX="$work/wine" WINEDEBUG=-all
wineboot -i >/dev/null 2>&1 || true
wine "$folder/korvane.exe" --folder "Z:$work/data" >/dev/null 2>&1 &
for _ in \$(seq 300); do xdotool search --onlyvisible --name '^Korvane\$' >/dev/null 2>&1 && break; sleep 0.2; done
sleep 2
main=\$(xdotool search --onlyvisible --name '^Korvane\$' | head -1)
xdotool windowmove "\$main" 0 0
sleep 0.5
xdotool mousemove 21 8 click 1          # "Test"
sleep 2
clock=\$(xdotool search --onlyvisible --name '^Korvane\$' | tail -1)
xdotool windowmove "\$clock" 0 0
sleep 0.5
sleep 1.5
import -window "\$clock" "$work/clock.png"
wineserver -k || true
SESSION
xvfb-run -a -s "-screen 0 1280x800x24" bash "$work/session.sh"
cp "$work/clock.png" "$target"
echo "Screenshot: $target"
