#!/usr/bin/env bash
# Documents per second of quillmere-extract (Release build) against ExifTool over the same documents.
#
#   bench/word/bench_extract.sh [--runs N] [--repeat N] [--jobs N] [--options "OPTIONS"] [FOLDER]
#
# FOLDER defaults to the shared document corpus beside the project. Both tools get the same list of
# files (the list repeated --repeat times, to time more than start-up); each is run --runs times and the
# fastest run counts. ExifTool is run as `exiftool -j -a -@ LIST`; quillmere-extract as
# `quillmere-extract -q -@ LIST` plus OPTIONS (e.g. "--hash sha256" or "--format csv"). Outputs go to
# /dev/null. Run it on an otherwise idle machine.
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
build=build/word/release
if [ ! -x "$build/bin/quillmere-extract" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQV_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target quillmere-extract >/dev/null
extract=$PWD/$build/bin/quillmere-extract

list=$(mktemp /tmp/qv-bench-list.XXXXXX)
trap 'rm -f "$list"' EXIT
once=$(mktemp /tmp/qv-bench-once.XXXXXX)
find "$folder" -type f ! -name reference.json ! -name fixtures.txt ! -name README.md | sort > "$once"
for _ in $(seq "$repeat"); do cat "$once"; done > "$list"
rm -f "$once"
docs=$(wc -l < "$list")

# Fastest of $runs wall-clock runs, in seconds.
best() {
  local best="" t0 t1 t
  for _ in $(seq "$runs"); do
    t0=$(date +%s.%N)
    "$@" > /dev/null 2>&1 || true
    t1=$(date +%s.%N)
    t=$(echo "$t1 - $t0" | bc -l)
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
  done
  echo "$best"
}

echo "Documents: $docs ($(du -sh "$folder" | cut -f1) in $folder, list repeated $repeat time(s)); best of $runs runs; $(nproc) cores"
exif=$(best exiftool -j -a -@ "$list")
# shellcheck disable=SC2086
ours=$(best "$extract" -q $jobs $extra -@ "$list")
printf '%-18s %8.3f s  %10.0f documents/s\n' "ExifTool" "$exif" "$(echo "$docs / $exif" | bc -l)"
printf '%-18s %8.3f s  %10.0f documents/s  %s\n' "quillmere-extract" "$ours" "$(echo "$docs / $ours" | bc -l)" "$extra"
printf 'Ratio: %.1fx\n' "$(echo "$exif / $ours" | bc -l)"
