#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the tests with AddressSanitizer and UndefinedBehaviorSanitizer and runs them all, headless.
set -euo pipefail
cd "$(dirname "$0")/.."
# The layout tests need LibreOffice's word processor (the workbook hand-over its spreadsheet), its SDK (to build the office helper, quillmere-office) and fonts with
# the metrics of Word's common fonts; without them those tests skip. python3 reads the command's CSV back
# with a real CSV reader, and locales lets a test make a single-byte locale for the text export.
bash scripts/deps.sh libreoffice-writer libreoffice-calc libreoffice-dev fonts-liberation2 fonts-crosextra-carlito \
    fonts-crosextra-caladea python3 locales
# The job-array test starts a one-node Slurm cluster of its own; where Slurm and munge cannot be installed
# it is skipped.
bash scripts/deps.sh slurm-wlm munge || echo "Slurm and munge could not be installed: the job-array test is skipped" >&2
# Every file says under which licence it is shared (reuse lint also covers data files through .reuse/dep5).
bash scripts/deps.sh reuse
reuse lint >/dev/null || { reuse lint; exit 1; }
# The code stays in the committed clang-format style.
bash scripts/deps.sh clang-format
git ls-files -z '*.cpp' '*.h' '*.inl' | xargs -0 clang-format --dry-run --Werror
# A compiler cache, where one is installed, makes a rebuild of an unchanged tree quick.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=ON -DQV_BUILD_TESTS=ON "${launcher[@]}" >/dev/null
cmake --build build/asan -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build/asan --output-on-failure -j"$(nproc)"
# The Debian packages: built (Release), checked by lintian, unpacked and run.
bash scripts/package.sh
bash scripts/tools/check-packages.sh
