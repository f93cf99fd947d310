#!/usr/bin/env bash
# Starts Korvane under Xvfb, opens the clock window, runs a short test and
# writes PNG screenshots of the main window, of the clock window and of the
# athlete view in mid-test and of the progress window over a few generated
# tests to docs/ (or the folder given as the first argument), and the test
# report of the last of those tests as a PNG of its PDF page.  A second run
# with "--language de" writes the main and the clock window in German
# (main-window-de.png, clock-window-de.png).
#
#   make screenshots        (installs Xvfb, xdotool, ImageMagick and PulseAudio
#                            if missing)
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
program="$PWD/build/release/korvane"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# A few stored tests for the progress window: twelve weekly tests of the
# athlete of the session below, sets cut short at first and later run to
# their end, one test with a date that cannot be read, two more tests on the
# day of the third (the last with a set never run), and three tests of
# another athlete.  The program creates its tables at its first start.
cat > "$work/tests.sql" <<'SQL'
WITH RECURSIVE t(x) AS (SELECT 0 UNION ALL SELECT x + 1 FROM t WHERE x < 11)
INSERT INTO TestTable (Date, ProfilNr, Name, Surname, Bodyweight, Height, Exercise, Load,
                       RealTime1, RealR1, RealTime2, RealR2, RealTime3, RealR3,
                       StartRest, FroPhase, ToPhase, RestafterFro, RestafterTo, Rep, Sets, RestSets,
                       TUTTotal, TUTReal)
SELECT CASE WHEN x = 5 THEN 'n/a' ELSE strftime('%d.%m.%Y', '2026-09-07', printf('+%d days', 7 * x)) END,
       1, 'Anna', 'Berger', '62', '170', 'Bench Press', '40',
       replace(printf('%g', min(p, 12 + 1.0 * x)), '.', ','), min(r, 3 + x / 3),
       replace(printf('%g', min(p, 9 + 1.1 * x)), '.', ','), min(r, 2 + x / 3),
       replace(printf('%g', min(p, 6 + 1.2 * x)), '.', ','), min(r, 1 + x / 3),
       '1', '1', '1', '1', '1', r, '3', '120', 3 * (1 + p), 3 * 2 * r
FROM (SELECT x, CASE WHEN x < 8 THEN 5 ELSE 6 END AS r, CASE WHEN x < 8 THEN 20 ELSE 24 END AS p FROM t);
INSERT INTO TestTable (Date, ProfilNr, Name, Surname, Bodyweight, Height, Exercise, Load,
                       RealTime1, RealR1, RealTime2, RealR2, RealTime3, RealR3,
                       StartRest, FroPhase, ToPhase, RestafterFro, RestafterTo, Rep, Sets, RestSets,
                       TUTTotal, TUTReal)
VALUES ('21.09.2026', 1, 'Anna', 'Berger', '62', '170', 'Bench Press', '40', '15', '3', '12,5', '3', '9', '2',
        '1', '1', '1', '1', '1', '5', '3', '120', '63', '30'),
       ('21.09.2026', 1, 'Anna', 'Berger', '62', '170', 'Bench Press', '40', '16', '3', '13', '3', '', '0',
        '1', '1', '1', '1', '1', '5', '3', '120', '63', '24');
INSERT INTO TestTable (Date, ProfilNr, Name, Surname, Exercise, RealTime1, RealR1, Sets, TUTTotal, TUTReal)
VALUES ('01.10.2026', 1, 'Ben', 'Alt', 'Squat', '30', '6', '1', '31', '12'),
       ('08.10.2026', 1, 'Ben', 'Alt', 'Squat', '30', '6', '1', '31', '12'),
       ('15.10.2026', 1, 'Ben', 'Alt', 'Squat', '30', '6', '1', '31', '12');
SQL

# The session: bash session.sh SUFFIX [OPTION...] writes main-window
# SUFFIX.png and clock-window SUFFIX.png, and without a suffix the athlete
# view and the progress window too; the options go to the program.
cat > "$work/session.sh" <<SESSION
set -euo pipefail
cd "$work"
suffix=\$1
shift
# A sound server with a null output, so that speech is available and the
# "Speak" box shows as it does on a desktop.
export XDG_RUNTIME_DIR="$work/runtime"
# Settings of their own: a data folder chosen on this desktop is not used.
export XDG_CONFIG_HOME="$work/config"
mkdir -p -m 700 "\$XDG_RUNTIME_DIR"
if command -v pulseaudio >/dev/null; then
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \\
    --load=module-null-sink --load=module-native-protocol-unix >/dev/null 2>&1 &
  sound=\$!
  for _ in \$(seq 30); do [[ -S "\$XDG_RUNTIME_DIR/pulse/native" ]] && break; sleep 0.1; done
fi
if [[ ! -e TestTable.DB ]]; then
  "$program" &
  first=\$!
  for _ in \$(seq 50); do xdotool search --name '^Korvane\$' >/dev/null 2>&1 && break; sleep 0.1; done
  kill \$first; wait \$first 2>/dev/null || true
  sqlite3 TestTable.DB < tests.sql
fi
"$program" "\$@" &
pid=\$!
trap 'kill \$pid \${sound:-} 2>/dev/null || true' EXIT
for _ in \$(seq 50); do xdotool search --name '^Korvane\$' >/dev/null 2>&1 && break; sleep 0.1; done
sleep 1
import -window root "$out/main-window\$suffix.png"

# Without a window manager the windows open in their design size, the clock
# window centred over the main window; moved to the top left, the clicks
# below hit the places of that layout.
xdotool mousemove 21 8 click 1          # "Test"
sleep 1
xdotool windowmove "\$(xdotool search --onlyvisible --name '^Korvane\$' | tail -1)" 0 0
sleep 0.5
click_type() { xdotool mousemove "\$1" "\$2" click --repeat 3 1; xdotool type --delay 20 "\$3"; }
click_type 205 48 "Anna"                # Name
click_type 205 75 "Berger"              # Surname
click_type 205 103 "62"                 # Bodyweight
click_type 205 131 "170"                # Height
click_type 210 287 "Standard"           # Profil Name
click_type 210 315 "Bench Press"        # Exercise
click_type 113 383 "40"                 # Load
click_type 157 575 "3"                  # Repetitions
click_type 157 601 "2"                  # Sets
xdotool mousemove 228 471 click 1       # "Beep" at the start of the To-Phase
xdotool mousemove 228 497 click 1       # "Beep" at the start of the Fro-Phase
xdotool mousemove 553 332 click 1       # "Speak"
xdotool mousemove 443 220 click 1       # start
sleep 3.6
import -window root "$out/clock-window\$suffix.png"
# The German run shows the two windows only.
[[ -z "\$suffix" ]] || exit 0

xdotool mousemove 460 332 click 1       # "Athlete view"
for _ in \$(seq 50); do xdotool search --onlyvisible --name '^Athlete view\$' >/dev/null 2>&1 && break; sleep 0.1; done
sleep 1.4
view=\$(xdotool search --onlyvisible --name '^Athlete view\$' | head -1 || true)
if [[ -n "\$view" ]]; then
  import -window "\$view" "$out/athlete-view.png"
  # Out of the way of the clicks below.
  xdotool windowmove "\$view" 1280 800
else
  echo "The athlete view did not open." >&2
fi

xdotool mousemove 293 160 click 1      # "Progress..." in the athlete group
for _ in \$(seq 50); do xdotool search --name '^Progress\$' >/dev/null 2>&1 && break; sleep 0.1; done
sleep 1
progress=\$(xdotool search --name '^Progress\$' | head -1 || true)
if [[ -n "\$progress" ]]; then
  import -window "\$progress" "$out/progress-window.png"
else
  echo "The progress window did not open." >&2
fi
SESSION

xvfb-run -a -s "-screen 0 1280x800x24" bash "$work/session.sh" "" 2>&1 | grep -v XDG_RUNTIME_DIR || true
xvfb-run -a -s "-screen 0 1280x800x24" bash "$work/session.sh" -de --language de 2>&1 \
  | grep -v XDG_RUNTIME_DIR || true

# The report: a copy of the tables with one more test of the athlete, four
# sets of which the third was cancelled and the fourth never ran, written by
# the command line and its page rendered as the README shows it.
mkdir -p "$work/report"
cp "$work/TestTable.DB" "$work/report/"
sqlite3 "$work/report/TestTable.DB" <<'SQL'
INSERT INTO TestTable (Date, ProfilNr, Name, Surname, Bodyweight, Height, Exercise, Load,
                       RealTime1, RealR1, RealTime2, RealR2, RealTime3, RealR3, RealTime4, RealR4,
                       StartRest, FroPhase, ToPhase, RestafterFro, RestafterTo, Rep, Sets, RestSets,
                       TUTTotal, TUTReal)
VALUES ('07.12.2026', 1, 'Anna', 'Berger', '62', '170', 'Bench Press', '42,5',
        '24', '6', '24', '6', '17,6', '4', '', '0', '1', '1', '1', '1', '1', '6', '4', '120', '100', '48');
SQL
last=$(sqlite3 "$work/report/TestTable.DB" "SELECT MAX(Testnr) FROM TestTable")
"$program" --report "$last" --folder "$work/report" --output "$work/report.pdf" 2> >(grep -v XDG_RUNTIME_DIR >&2)
pdftoppm -png -r 80 -singlefile "$work/report.pdf" "$out/test-report"
echo "Screenshots in $out: main-window.png clock-window.png athlete-view.png progress-window.png test-report.png" \
  "main-window-de.png clock-window-de.png"
