#!/usr/bin/env bash
# Fails when a source text has no German translation: runs lupdate over a
# library's sources (its lupdate project, as the build wrote it) into a copy
# of the committed translation file and lists every text that comes out
# unfinished.  The committed file is left as it is.
#
#   check-translations.sh LUPDATE PROJECT.json FILE.ts STAMP
set -euo pipefail
lupdate=$1 project=$2 ts=$3 stamp=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
copy="$work/$(basename "$ts")"
cp "$ts" "$copy"
"$lupdate" -silent -locations none -no-obsolete -project "$project" -ts "$copy" 2>/dev/null
missing=$(python3 - "$copy" <<'PY'
import sys
import xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
for context in root.iter('context'):
    name = context.findtext('name')
    for message in context.iter('message'):
        translation = message.find('translation')
        if translation is None:
            continue
        texts = [translation.text] + [n.text for n in translation.iter('numerusform')]
        if translation.get('type') == 'unfinished' or not any(t for t in texts):
            print(f'  {name}: "{message.findtext("source")}"')
PY
)
if [[ -n "$missing" ]]; then
  echo "$(basename "$ts"): texts without a German translation:" >&2
  echo "$missing" >&2
  echo "Run the target update_translations and translate them." >&2
  exit 1
fi
touch "$stamp"
