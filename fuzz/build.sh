#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer target of the document engine with clang into build/fuzz.
set -euo pipefail
cd "$(dirname "$0")/.."
CC=${CC:-clang} CXX=${CXX:-clang++} cmake -S fuzz -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/fuzz --target fuzz_word_engine
