#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# quillmere-extract against the floor of reading the same files (cat), against ExifTool asked for the same
# properties, and with --recount against without, warm, one job, in one run.
#
#   bench/word/bench_floor.sh [--runs N] [--exiftool-runs N] [--large N] [--extract PATH] [FOLDER]
#
# Two lists are timed: the documents of FOLDER (default: the shared corpus) and a large list of N
# documents (default 20,000) made by repeating the first. Every command runs once to warm the page cache
# and then --runs times (ExifTool --exiftool-runs times, default 1 on the large list: it takes minutes);
# the least wall and CPU time (user + system, children included) and the largest peak resident memory of
# the runs are shown (--exiftool-runs 0 leaves ExifTool out), with the ratios the targets speak of:
# plain against cat, ExifTool against plain (CPU), --recount against plain. --extract times another
# build (by default the Release build is made in build/word/release).
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=3 exifRuns="" large=20000 extract=""
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift 2 ;;
    --exiftool-runs) exifRuns=$2; shift 2 ;;
    --large) large=$2; shift 2 ;;
    --extract) extract=$(realpath "$2"); shift 2 ;;
    -h|--help) sed -n '5,16p' "$0"; exit 0 ;;
    *) break ;;
  esac
done
folder=${1:-$(cd .. && pwd)/shared/corpus}
command -v exiftool >/dev/null || { echo "exiftool is not installed (package libimage-exiftool-perl)" >&2; exit 1; }
. bench/word/release-extract.sh
[ -n "$extract" ] || extract=$(release_extract)

work=$(mktemp -d /tmp/qv-bench-floor.XXXXXX)
trap 'rm -rf "$work"' EXIT
document_list "$(realpath "$folder")" > "$work/corpus.list"
n=$(wc -l < "$work/corpus.list")
: > "$work/large.list"
while [ "$(wc -l < "$work/large.list")" -lt "$large" ]; do cat "$work/corpus.list" >> "$work/large.list"; done
head -n "$large" "$work/large.list" > "$work/large.tmp" && mv "$work/large.tmp" "$work/large.list"

# The built-in properties the command writes, by ExifTool's tag names.
exifTags=(-Title -Subject -Author -Creator -Keywords -Comments -Description -Template -LastModifiedBy
          -RevisionNumber -LastPrinted -CreateDate -ModifyDate -TotalEditTime -Pages -Words -Characters
          -CharactersWithSpaces -Category -Manager -Company -Lines -Paragraphs -HyperlinkBase -FileSize)

# Runs "$@" $1 times (after one warm-up run unless $1 is 1: the lists' files are warm by then); prints "WALL CPU MAXRSS_MB": the least wall and CPU time (in
# milliseconds, from the shell's own timing of the command and its children) and the largest peak memory.
measure() {
  local times=$1; shift
  [ "$times" -eq 1 ] || "$@" > /dev/null 2>&1 || true
  local bw="" bc="" bm=0 w u s m c out
  for _ in $(seq "$times"); do
    out=$( { TIMEFORMAT='%3R %3U %3S'; time /usr/bin/time -f '%M' -o "$work/rss" "$@" > /dev/null 2>&1 || true; } 2>&1 | tail -1)
    read -r w u s <<< "$out"
    m=$(tail -1 "$work/rss")
    c=$(echo "$u + $s" | bc -l)
    if [ -z "$bw" ] || [ "$(echo "$w < $bw" | bc -l)" = 1 ]; then bw=$w; fi
    if [ -z "$bc" ] || [ "$(echo "$c < $bc" | bc -l)" = 1 ]; then bc=$c; fi
    [ "$m" -gt "$bm" ] && bm=$m
  done
  echo "$bw $bc $((bm / 1024))"
}

row() { printf '  %-22s wall %8.3f s  cpu %8.3f s  peak %5s MB\n' "$1" "$2" "$3" "$4"; }
ratio() { echo "$1 / ($2 + 0.0005)" | bc -l | xargs printf '%.2f'; }

echo "quillmere-extract: $extract; $(nproc) cores; load $(cut -d' ' -f1-3 /proc/loadavg)"
for which in corpus large; do
  list=$work/$which.list
  docs=$(wc -l < "$list")
  echo "== $docs documents ($which list; $n distinct files in $folder)"
  tr '\n' '\0' < "$list" > "$list.0"
  read -r cw cc cm <<< "$(measure "$runs" bash -c 'xargs -0 cat < "$0" > /dev/null' "$list.0")"
  read -r pw pc pm <<< "$(measure "$runs" "$extract" -q -j 1 -@ "$list")"
  read -r rw rc rm_ <<< "$(measure "$runs" "$extract" -q -j 1 --recount -@ "$list")"
  er=${exifRuns:-$([ "$which" = corpus ] && echo "$runs" || echo 1)}
  row cat "$cw" "$cc" "$cm"
  row "quillmere-extract" "$pw" "$pc" "$pm"
  row "  --recount" "$rw" "$rc" "$rm_"
  if [ "$er" -gt 0 ]; then
    read -r ew ec em <<< "$(measure "$er" exiftool -j -a "${exifTags[@]}" -@ "$list")"
    row "ExifTool" "$ew" "$ec" "$em"
  fi
  printf '  plain / cat: wall %sx, cpu %sx (target <= 1.5)\n' "$(ratio "$pw" "$cw")" "$(ratio "$pc" "$cc")"
  [ "$er" -eq 0 ] || printf '  ExifTool / plain: wall %sx, cpu %sx (target >= 100 on cpu)\n' "$(ratio "$ew" "$pw")" "$(ratio "$ec" "$pc")"
  printf '  --recount / plain: wall %sx, cpu %sx (target <= 2)\n' "$(ratio "$rw" "$pw")" "$(ratio "$rc" "$pc")"
done
