#!/usr/bin/env bash
# Fails when a file under src/ includes a header of a folder that is not
# below its own.  The folders, lowest first.
set -euo pipefail
root="${1:-$(dirname "$0")/..}"
declare -A rank=([core]=0 [store]=1 [legacy]=2 [model]=3 [platform]=4 [report]=5 [clock]=6 [data]=7 [app]=8)

status=0
cd "$root/src"
while IFS= read -r -d '' file; do
  folder=${file%%/*}
  if [[ -z "${rank[$folder]+set}" ]]; then
    echo "$file: the folder $folder has no place in the layers"
    status=1
    continue
  fi
  while IFS= read -r included; do
    target=${included%%/*}
    [[ "$target" == "$folder" ]] && continue
    if [[ -z "${rank[$target]+set}" ]] || (( rank[$target] >= rank[$folder] )); then
      echo "src/$file includes \"$included\": $target is not below $folder"
      status=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z]*\/[^"]*\)".*/\1/p' "$file")
done < <(find . -mindepth 2 \( -name '*.h' -o -name '*.cpp' \) -printf '%P\0')
[[ $status -eq 0 ]] && echo "layers: every include points at its own folder or one below"
exit $status
