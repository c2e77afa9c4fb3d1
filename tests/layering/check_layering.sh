#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Dependencies between the source folders run one way:
#   word <- fs, office <- platform <- core <- filelist, properties, results, extract <- app <- main
# with the batch command on the engine alone. This fails, naming file and line, when a folder includes
# one it must not, so a shortcut against that direction cannot land unnoticed.
set -euo pipefail
src="${1:-$(dirname "$0")/../../src}"

# Folders each folder may include besides itself.
declare -A allowed=(
    [word]=""
    [fs]=""
    [office]=""
    [platform]="word fs office"
    [core]="platform word fs"
    [filelist]="core platform word fs"
    [properties]="core platform word"
    [results]="core platform word"
    [extract]="core platform word fs office results filelist properties"
    [app]="core platform word fs office results filelist properties extract"
    [cli]="word fs office"
)

status=0
for dir in "$src"/*/; do
    folder=$(basename "$dir")
    if [[ -z "${allowed[$folder]+set}" ]]; then
        echo "layering: src/$folder is not in the layering rule; add it to $(basename "$0")"
        status=1
        continue
    fi
    while IFS=: read -r file line include; do
        target=${include#*\"}
        target=${target%%/*}
        [[ "$target" == "$folder" ]] && continue
        [[ -d "$src/$target" ]] || continue # a library header such as "xlsxwriter.h"
        if [[ " ${allowed[$folder]} " != *" $target "* ]]; then
            echo "layering: ${file#"$src"/}:$line includes $target/, above $folder/"
            status=1
        fi
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z]+/' "$dir" --include='*.h' --include='*.cpp' || true)
done
[[ $status -eq 0 ]] && echo "layering: every include runs with the direction of the layers"
exit $status
