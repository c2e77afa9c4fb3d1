#!/usr/bin/env bash
# Builds the tests with AddressSanitizer and UndefinedBehaviorSanitizer and runs them all, headless.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=ON -DQV_BUILD_TESTS=ON >/dev/null
cmake --build build/asan -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build/asan --output-on-failure -j"$(nproc)"
