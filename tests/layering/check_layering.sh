#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Dependencies between the source folders run one way:
#   word <- fs, office <- platform <- core <- filelist, properties, results, extract <- app <- main
# with the batch command on the engine alone, and inside the engine no format's folder on another's.
# This fails, naming file and line, when a folder includes one it must not, so a shortcut against that
# direction cannot land unnoticed. It reads every way a dependency can be written: "…" and <…> includes,
# includes that climb with ../, headers, sources and inline parts alike, and the project libraries each
# folder's CMakeLists.txt links.
set -euo pipefail
src="$(realpath "${1:-$(dirname "$0")/../../src}")"

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
# Reports a dependency of $folder on $target unless the rule allows it.
check() {
    local folder=$1 target=$2 where=$3 what=$4
    [[ "$target" == "$folder" ]] && return 0
    [[ -n "$target" && -d "$src/$target" ]] || return 0 # a library header such as "xlsxwriter.h"
    if [[ " ${allowed[$folder]} " != *" $target "* ]]; then
        echo "layering: $where $what $target/, above $folder/"
        status=1
    fi
}

# The source folder an include names. A path that climbs (../) is taken from the including file's folder
# when it leads to a file there, as the compiler looks there first, and from the source root otherwise.
included_folder() {
    local file=$1 include=$2 resolved
    if [[ "$include" == *..* || "$include" == ./* ]]; then
        resolved=$(realpath -m "$(dirname "$file")/$include")
        if [[ ! -e "$resolved" && "$include" != ../* && "$include" != ./* ]]; then
            resolved=$(realpath -m "$src/$include")
        fi
        [[ "$resolved" == "$src"/*/* ]] || return 0 # outside the folders: not a layer
        resolved=${resolved#"$src"/}
        echo "${resolved%%/*}"
    elif [[ "$include" == */* ]]; then
        echo "${include%%/*}"
    fi
}

for dir in "$src"/*/; do
    folder=$(basename "$dir")
    if [[ -z "${allowed[$folder]+set}" ]]; then
        echo "layering: src/$folder is not in the layering rule; add it to $(basename "$0")"
        status=1
        continue
    fi
    while IFS=: read -r file line text; do
        include=${text#*include}
        include=${include#"${include%%[\"<]*}"}
        include=${include:1}
        include=${include%%[\">]*}
        check "$folder" "$(included_folder "$file" "$include")" "${file#"$src"/}:$line" includes
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' "$dir" \
                 --include='*.h' --include='*.hpp' --include='*.cpp' --include='*.cc' --include='*.inl' || true)

    # Project libraries are named qv_<folder> or qv_<folder>_<part>.
    while IFS= read -r lists; do
        while read -r -a words; do
            for library in "${words[@]:1}"; do
                [[ "$library" =~ ^qv_([a-z]+) ]] || continue
                check "$folder" "${BASH_REMATCH[1]}" "${lists#"$src"/}:" "links"
            done
        done < <(tr '\n' ' ' <"$lists" | grep -oE 'target_link_libraries[[:space:]]*\([^)]*\)' |
                     sed -E 's/^target_link_libraries[[:space:]]*\(//; s/\)$//' || true)
    done < <(find "$dir" -name CMakeLists.txt)
done
# Inside the engine each format's folder stands on the engine's own files and on toolkit/, never on
# another format's folder; toolkit/ stands on no format at all.
for dir in "$src"/word/*/; do
    [[ -d "$dir" ]] || continue
    part=$(basename "$dir")
    while IFS=: read -r file line text; do
        [[ "$text" =~ [\"\<]word/([a-z]+)/ ]] || continue
        target=${BASH_REMATCH[1]}
        [[ "$target" == "$part" || "$target" == toolkit ]] && continue
        echo "layering: ${file#"$src"/}:$line includes word/$target/, another format than word/$part/"
        status=1
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' "$dir" \
                 --include='*.h' --include='*.cpp' --include='*.inl' || true)
done
[[ $status -eq 0 ]] && echo "layering: every include and link runs with the direction of the layers"
exit $status
