#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# How close quillmere-extract's own counts (--recount) come to the counts documents store, judged only on
# documents whose stored count is current (LibreOffice's fresh count within 2 % of it).
#
#   bench/word/measure_counts.sh [--build DIR] [--layout FILE] [--before FILE] [--misses] [--out DIR] [FOLDER]
#
# FOLDER defaults to the shared corpus. The Release build in DIR (default build/release, configured with
# the tests so that bench_layout exists) is built when its programs are missing. The office's counts take
# minutes and do not change with this program's code: --layout FILE reuses the records of an earlier run
# (they are written to OUT/layout.jsonl otherwise). --before FILE compares with an earlier recount
# (OUT/recount.jsonl of a previous run). --misses lists every current count off by more than 3 %.
# The documents are only read: quillmere-extract and the office open them read-only.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=build/release layout="" before="" misses="" out=""
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --layout) layout=$2; shift 2 ;;
    --before) before=$2; shift 2 ;;
    --misses) misses=--misses; shift ;;
    --out) out=$2; shift 2 ;;
    -h|--help) sed -n '5,15p' "$0"; exit 0 ;;
    *) break ;;
  esac
done
folder=$(cd "${1:-../shared/corpus}" && pwd)
out=${out:-$(mktemp -d)}
mkdir -p "$out"

if [ ! -x "$build/bin/quillmere-extract" ] || { [ -z "$layout" ] && [ ! -x "$build/bin/bench_layout" ]; }; then
  [ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQV_BUILD_TESTS=ON >/dev/null
  nice cmake --build "$build" -j2 --target quillmere-extract bench_layout >/dev/null
fi

# Documents that cannot be read are part of any real folder: they get a record, not a failed run.
"$build/bin/quillmere-extract" -q --ignore-failed-read "$folder" > "$out/stored.jsonl"
"$build/bin/quillmere-extract" -q --ignore-failed-read --recount "$folder" > "$out/recount.jsonl"
if [ -z "$layout" ]; then
  layout=$out/layout.jsonl
  "$build/bin/bench_layout" --records "$layout" "$folder" > "$out/layout.out"
fi
echo "records in $out"
python3 bench/word/compare_counts.py ${before:+--before "$before"} $misses \
  "$out/stored.jsonl" "$out/recount.jsonl" "$layout"
