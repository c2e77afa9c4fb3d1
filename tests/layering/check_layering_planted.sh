#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The layering check must notice every way a dependency against the direction can be written. Each case
# plants one such dependency in a copy of the sources and expects the check to fail and name the place.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
src="$(realpath "${1:-$here/../../src}")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# name | file to write (relative to src) | line to append | what the report must name
cases=(
    'quoted include|word/Planted.cpp|#include "core/ErrorReport.h"|word/Planted.cpp:1 includes core/'
    'angle include|word/Planted.cpp|#include <app/MainWindow.h>|word/Planted.cpp:1 includes app/'
    'climbing include|word/Planted.cpp|#include "../results/ResultsData.h"|word/Planted.cpp:1 includes results/'
    'inline part|platform/Planted.inl|#include "core/Settings.h"|platform/Planted.inl:1 includes core/'
    'library link|core/CMakeLists.txt|target_link_libraries(qv_core PRIVATE qv_results_core)|core/CMakeLists.txt: links results/'
    'command on the window|cli/CMakeLists.txt|target_link_libraries(qv_cli PRIVATE qv_platform)|cli/CMakeLists.txt: links platform/'
    'format on another format|word/odf/Planted.cpp|#include "word/ooxml/OoxmlTextParts.h"|word/odf/Planted.cpp:1 includes word/ooxml/'
    'toolkit on a format|word/toolkit/Planted.h|#include <word/rtf/RtfReader.h>|word/toolkit/Planted.h:1 includes word/rtf/'
)

failures=0
for entry in "${cases[@]}"; do
    IFS='|' read -r name file line expected <<<"$entry"
    copy="$work/src"
    rm -rf "$copy"
    cp -r "$src" "$copy"
    if [[ -e "$copy/$file" ]]; then printf '\n%s\n' "$line" >>"$copy/$file"; else printf '%s\n' "$line" >"$copy/$file"; fi
    if report=$(bash "$here/check_layering.sh" "$copy" 2>&1); then
        echo "FAIL: $name: the check passed with a planted dependency"
        failures=$((failures + 1))
    elif [[ "$report" != *"$expected"* ]]; then
        echo "FAIL: $name: the report does not name '$expected':"
        echo "$report"
        failures=$((failures + 1))
    else
        echo "ok: $name"
    fi
done
exit $((failures > 0))
