#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Peak memory of quillmere-extract (Release build) over a long list: it should stay flat however many
# paths the list holds, because the list is read while documents are read.
#
#   bench/word/bench_extract_memory.sh [--paths N] [FOLDER]
#
# The list repeats the documents of FOLDER (default: the shared corpus) up to N paths (default 1,000,000)
# and is given on standard input; the output goes to /dev/null. Prints the peak resident size for N/10
# and for N paths, and the time taken.
set -euo pipefail
cd "$(dirname "$0")/../.."
paths=1000000
while [ $# -gt 0 ]; do
  case "$1" in
    --paths) paths=$2; shift 2 ;;
    -h|--help) sed -n '2,9p' "$0"; exit 0 ;;
    *) break ;;
  esac
done
folder=${1:-$(cd .. && pwd)/shared/corpus}
. bench/word/release-extract.sh
extract=$(release_extract)
once=$(mktemp /tmp/qv-bench-once.XXXXXX)
trap 'rm -f "$once"' EXIT
document_list "$folder" > "$once"

count=$(wc -l < "$once")
set +o pipefail # the repeating cat is cut off by head on purpose
for n in $((paths / 10)) "$paths"; do
  for _ in $(seq $((n / count + 1))); do cat "$once"; done | head -n "$n" |
    /usr/bin/time -f "$n paths: peak %M KB, %e s" "$extract" -q -@ - > /dev/null || true
done
