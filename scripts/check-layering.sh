#!/usr/bin/env bash
# Fails when a folder of src/ includes a header of a folder above it. The direction is
#   word <- platform <- core <- filelist / properties / results / extract <- app <- main
# with fs (the Qt-Core-only folder walk) beside word, and the batch command (cli) over word and fs alone.
set -uo pipefail
src="${1:-$(dirname "$0")/../src}"

declare -A allowed=(
  [word]="word"
  [fs]="fs"
  [platform]="platform word"
  [core]="core platform word"
  [filelist]="filelist core platform word fs"
  [properties]="properties core platform word"
  [results]="results core platform word"
  [extract]="extract filelist properties results core platform word fs"
  [app]="app extract filelist properties results core platform word fs"
  [cli]="cli word fs"
)
# Includes that are known to run against the direction and are being removed; each names its header.
known_exceptions=(
  "word platform/RuntimeError.h"
)

status=0
for folder in "${!allowed[@]}"; do
  [ -d "$src/$folder" ] || continue
  while IFS=: read -r file _ include; do
    target="${include%%/*}"
    case " ${allowed[$folder]} " in *" $target "*) continue ;; esac
    for known in "${known_exceptions[@]}"; do
      [ "$known" = "$folder $include" ] && continue 2
    done
    echo "${file#"$src"/} includes $include: $folder may not include $target"
    status=1
  done < <(grep -rHno --include='*.h' --include='*.cpp' '^#include "[a-z]*/[^"]*"' "$src/$folder" \
             | sed 's/:#include "/:/; s/"$//')
done
for folder in "$src"/*/; do
  name="$(basename "$folder")"
  [ -n "${allowed[$name]+x}" ] || { echo "src/$name has no place in the layering"; status=1; }
done
exit $status
