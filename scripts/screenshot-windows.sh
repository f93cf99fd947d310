#!/usr/bin/env bash
# The clock window of the Windows build in the middle of a test (phase,
# countdown, bars and pie gauge), run under Wine on Xvfb with Qt's Windows
# platform, into docs/clock-window-windows.png (or the file given).  Needs
# the program folder of scripts/build-windows.sh.
#
# Wine runs as a desktop of its own (explorer /desktop): it then gives the
# keyboard to the window clicked last, as Windows does, and draws the
# windows' frames itself.  Wine's DirectWrite draws no text into line edits;
# the prefix's environment gives Qt the FreeType font engine instead (Qt's
# variables from the Unix environment do not reach a program under Wine).
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
version=$(sed -n 's/^project(Korvane VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
folder=$repo/build/windows/korvane-$version
target=${1:-$repo/docs/clock-window-windows.png}
[[ -f $folder/korvane.exe ]] || { echo "run scripts/build-windows.sh first" >&2; exit 1; }
work=$(mktemp -d)
trap 'WINEPREFIX="$work/wine" wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
mkdir -p "$work/data"

cat > "$work/session.sh" <<SESSION
set -euo pipefail
export WINEPREFIX="$work/wine" WINEDEBUG=-all
wineboot -i >/dev/null 2>&1 || true
wine reg add 'HKCU\\Environment' /v QT_QPA_PLATFORM /d 'windows:fontengine=freetype' /f >/dev/null
wineserver -w
wine explorer /desktop=korvane,1280x800 "$folder/korvane.exe" --folder "Z:$work/data" >/dev/null 2>&1 &
for _ in \$(seq 150); do [[ -f "$work/data/TestTable.DB" ]] && break; sleep 0.2; done
sleep 3
# The main window fills the desktop below its frame; the clock window too.
xdotool mousemove 20 26 click 1         # "Test"
sleep 3
click_type() { xdotool mousemove "\$1" "\$2" click --repeat 3 1; sleep 0.2; xdotool type --delay 30 "\$3"; }
click_type 205 57 "Anna"                # Name
click_type 205 83 "Berger"              # Surname
click_type 205 109 "62"                 # Bodyweight
click_type 205 135 "170"                # Height
click_type 210 274 "Standard"           # Profil Name
click_type 210 300 "Bench Press"        # Exercise
click_type 110 357 "40"                 # Load
click_type 165 531 "3"                  # Repetitions
click_type 165 555 "2"                  # Sets
xdotool mousemove 239 435 click 1       # "Beep" at the start of the To-Phase
xdotool mousemove 239 459 click 1       # "Beep" at the start of the Fro-Phase
xdotool mousemove 443 228 click 1       # start
sleep 3.6
import -window root "$work/clock.png"
SESSION
xvfb-run -a -s "-screen 0 1280x800x24" bash "$work/session.sh"
cp "$work/clock.png" "$target"
echo "Screenshot: $target"
