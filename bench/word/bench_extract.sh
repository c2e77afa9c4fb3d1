#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Documents per second of quillmere-extract (Release build) against ExifTool over the same documents.
#
#   bench/word/bench_extract.sh [--runs N] [--repeat N] [--jobs N] [--options "OPTIONS"] [FOLDER]
#
# FOLDER defaults to the shared document corpus beside the project. Both tools get the same list of
# files (the list repeated --repeat times, to time more than start-up); each is run --runs times and the
# fastest run counts. ExifTool is run as `exiftool -j -a -@ LIST`; quillmere-extract as
# `quillmere-extract -q -@ LIST` plus OPTIONS (e.g. "--hash sha256" or "--format csv"). Outputs go to
# /dev/null. Both wall-clock and CPU time (user + system, of the tool and its children, such as the
# layout's office with --layout) are shown; on a machine shared with other work the CPU time is the
# steadier figure, and the ratio is given for both.
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=5 repeat=1 jobs="" extra=""
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift 2 ;;
    --repeat) repeat=$2; shift 2 ;;
    --jobs) jobs="-j $2"; shift 2 ;;
    --options) extra=$2; shift 2 ;;
    -h|--help) sed -n '2,10p' "$0"; exit 0 ;;
    *) break ;;
  esac
done
folder=${1:-$(cd .. && pwd)/shared/corpus}
command -v exiftool >/dev/null || { echo "exiftool is not installed (package libimage-exiftool-perl)" >&2; exit 1; }
. bench/word/release-extract.sh
extract=$(release_extract)

list=$(mktemp /tmp/qv-bench-list.XXXXXX)
trap 'rm -f "$list"' EXIT
once=$(mktemp /tmp/qv-bench-once.XXXXXX)
document_list "$folder" > "$once"
for _ in $(seq "$repeat"); do cat "$once"; done > "$list"
rm -f "$once"
docs=$(wc -l < "$list")

# Fastest of $runs runs: "WALL CPU" in seconds, each the least seen.
best() {
  local bw="" bc="" w c out
  for _ in $(seq "$runs"); do
    out=$( { TIMEFORMAT='%R %U %S'; time "$@" > /dev/null 2>&1 || true; } 2>&1 | tail -1)
    w=$(echo "$out" | cut -d' ' -f1)
    c=$(echo "$out" | awk '{print $2 + $3}')
    if [ -z "$bw" ] || [ "$(echo "$w < $bw" | bc -l)" = 1 ]; then bw=$w; fi
    if [ -z "$bc" ] || [ "$(echo "$c < $bc" | bc -l)" = 1 ]; then bc=$c; fi
  done
  echo "$bw $bc"
}

echo "Documents: $docs ($(du -sh "$folder" | cut -f1) in $folder, list repeated $repeat time(s)); best of $runs runs; $(nproc) cores"
read -r exif exifcpu <<< "$(best exiftool -j -a -@ "$list")"
# shellcheck disable=SC2086
read -r ours ourscpu <<< "$(best "$extract" -q $jobs $extra -@ "$list")"
row() { printf '%-18s wall %8.3f s (%8.3f ms/doc)  cpu %8.3f s (%8.3f ms/doc)  %s\n' "$1" "$2" \
          "$(echo "$2 * 1000 / $docs" | bc -l)" "$3" "$(echo "$3 * 1000 / $docs" | bc -l)" "${4:-}"; }
row ExifTool "$exif" "$exifcpu"
row quillmere-extract "$ours" "$ourscpu" "$extra"
printf 'Ratio: wall %.1fx, cpu %.1fx\n' "$(echo "$exif / $ours" | bc -l)" "$(echo "$exifcpu / $ourscpu" | bc -l)"
