#!/usr/bin/env bash
# Builds the tests with AddressSanitizer and UndefinedBehaviorSanitizer and runs them all, headless.
set -euo pipefail
cd "$(dirname "$0")/.."
# The layout tests need LibreOffice's word processor, its SDK (to build the UNO client) and fonts with
# the metrics of Word's common fonts; without them those tests skip.
bash scripts/deps.sh libreoffice-writer libreoffice-dev fonts-liberation2 fonts-crosextra-carlito \
    fonts-crosextra-caladea
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=ON -DQV_BUILD_TESTS=ON >/dev/null
cmake --build build/asan -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build/asan --output-on-failure -j"$(nproc)"
