#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Replays every input the fuzzer kept (and the regression files) once with leak detection and full
# stack unwinding; libgsf's own leak is suppressed (fuzz/lsan.supp), anything else is reported.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -x build/fuzz/fuzz_word_engine ] || bash fuzz/build.sh
export ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0
export LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0
inputs=()
for d in fuzz-out/corpus/* tests/data/word; do [ -d "$d" ] && inputs+=("$d"); done
build/fuzz/fuzz_word_engine -runs=0 "${inputs[@]}"
