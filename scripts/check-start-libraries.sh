#!/usr/bin/env bash
# Fails when the program loads, at its start, a library that it only needs
# later: libpq (and with it the TLS and Kerberos libraries) is reached
# through Qt's PostgreSQL driver, libasound when a sound plays, libsndfile
# when a wave file is decoded,
# the speech engines through the speech module at the first spoken cue,
# the charts and SVG through the chart module when a progress window opens,
# printing through the print module when a report is previewed.  With a
# start probe (bench/start_probe), the libraries it loads while it starts
# are checked too, plugins among them, up to its answered first input.
#
#   scripts/check-start-libraries.sh build/release/korvane [START_PROBE]
set -euo pipefail
program="${1:?usage: $0 PROGRAM [START_PROBE]}"
probe="${2:+$(realpath "$2")}"
loaded="$(ldd "$program")"
if [[ -n "$probe" ]]; then
  folder="$(mktemp -d)"
  trap 'rm -rf "$folder"' EXIT
  # Every library the dynamic loader initialises, named on its own line.
  loaded+=$'\n'"$(cd "$folder" && HOME="$folder" QT_QPA_PLATFORM=offscreen LD_DEBUG=files \
    "$probe" 2>&1 >/dev/null | sed -n 's/.*calling init: \(.*\)/\1 =>/p')"
fi
status=0
for library in libpq.so libasound.so libsndfile.so libQt6TextToSpeech.so libQt6Charts.so libQt6Svg.so libQt6PrintSupport.so; do
  if grep -q "$library" <<<"$loaded"; then
    echo "$program loads $library at its start" >&2
    status=1
  fi
done
[[ $status == 0 ]] && echo "$(grep -o '[^/ ]*\.so[^ ]*' <<<"$loaded" | sort -u | wc -l) libraries at the start;" \
  "none of them only needed later"
exit $status
