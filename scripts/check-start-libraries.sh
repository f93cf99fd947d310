#!/usr/bin/env bash
# Fails when the program loads, at its start, a library that it only needs
# later: libpq (and with it the TLS and Kerberos libraries) is reached
# through Qt's PostgreSQL driver, libsndfile when a wave file is decoded,
# the speech engines through the speech module at the first spoken cue,
# the charts and SVG through the chart module when a progress window opens,
# printing through the print module when a report is previewed.
#
#   scripts/check-start-libraries.sh build/release/korvane
set -euo pipefail
program="${1:?usage: $0 PROGRAM}"
loaded="$(ldd "$program")"
status=0
for library in libpq.so libsndfile.so libQt6TextToSpeech.so libQt6Charts.so libQt6Svg.so libQt6PrintSupport.so; do
  if grep -q "$library" <<<"$loaded"; then
    echo "$program loads $library at its start" >&2
    status=1
  fi
done
[[ $status == 0 ]] && echo "$(grep -c '=>' <<<"$loaded") libraries at the start; none of them only needed later"
exit $status
