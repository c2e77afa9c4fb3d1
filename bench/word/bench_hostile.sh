#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Worst time and peak memory of quillmere-extract over hostile documents, per family of attack.
#
#   bench/word/bench_hostile.sh [--extract PATH] [--keep FOLDER]
#
# Builds the Release executable and the case writer in build/word/release-hostile, writes every case
# (bench_hostile_cases.cpp) to a temporary folder (or FOLDER with --keep), and runs
# `quillmere-extract -q -j 1 FILE` once per case and once more with --recount, under /usr/bin/time -v, at most 60 s and 4 GiB of
# address space each (so a case that runs away on an older build cannot starve the machine). Prints per
# case the wall and CPU time, the peak resident memory and what became of the document (read, refused, or the
# signal that ended the program), then the worst time and memory of each family. Cases named .list are
# given as a list (-@), .list0 as a NUL-separated one (-0 -@). The aim: every case
# within 2 s and 128 MB. --extract runs another build of quillmere-extract (an earlier commit's, to
# compare) over the same cases.
set -euo pipefail
cd "$(dirname "$0")/../.."
extract="" keep=""
while [ $# -gt 0 ]; do
  case "$1" in
    --extract) extract=$(realpath "$2"); shift 2 ;;
    --keep) keep=$2; shift 2 ;;
    -h|--help) sed -n '2,14p' "$0"; exit 0 ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
  esac
done
build=build/word/release-hostile
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQV_BUILD_TESTS=ON >/dev/null
fi
cmake --build "$build" -j2 --target quillmere-extract bench_hostile_cases >/dev/null
[ -n "$extract" ] || extract=$PWD/$build/bin/quillmere-extract

cases=${keep:-$(mktemp -d /tmp/qv-hostile.XXXXXX)}
[ -n "$keep" ] || trap 'rm -rf "$cases"' EXIT
mkdir -p "$cases"
"$build/bin/bench_hostile_cases" "$cases"
out=$(mktemp /tmp/qv-hostile-out.XXXXXX)
stats=$(mktemp /tmp/qv-hostile-time.XXXXXX)
err=$(mktemp /tmp/qv-hostile-err.XXXXXX)
trap 'rm -f "$out" "$stats" "$err"; [ -n "$keep" ] || rm -rf "$cases"' EXIT

printf '%-8s %-14s %-38s %10s %8s %8s %8s  %s\n' mode family case size seconds "cpu s" "max MB" outcome
declare -A worstTime worstCpu worstMem
for mode in plain recount; do
  for family in $(cd "$cases" && ls); do
    for f in "$cases/$family"/*; do
      args=(-q -j 1)
      [ "$mode" = recount ] && args+=(--recount)
      case "$f" in
        *.list) args+=(-@) ;;
        *.list0) args+=(-0 -@) ;;
      esac
      set +e
      /usr/bin/time -v -o "$stats" bash -c 'ulimit -v 4194304; exec timeout 60 "$@"' bash "$extract" "${args[@]}" "$f" >"$out" 2>"$err"
      status=$?
      set -e
      seconds=$(awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, p, ":"); s = 0; for (i = 1; i <= n; ++i) s = s * 60 + p[i]; print s }' "$stats")
      cpu=$(awk -F': ' '/User time|System time/ { s += $2 } END { printf "%.2f", s }' "$stats")
      mem=$(awk -F': ' '/Maximum resident set size/ { printf "%.0f", $2 / 1024 }' "$stats")
      case $status in
        0) outcome="read" ;;
        1) outcome="$(sed -n 's/.*"error":"\(\([^"\\]\|\\.\)*\)".*/\1/p' "$out" | sed 's/.*\\" //' | cut -c1-90)"
           [ -n "$outcome" ] || outcome="$(head -n1 "$err" | sed 's/^quillmere-extract: //' | cut -c1-90)" ;;
        124) outcome="still running after 60 s" ;;
        *) outcome="ended by signal $((status > 128 ? status - 128 : status)) (status $status)" ;;
      esac
      printf '%-8s %-14s %-38s %10s %8.2f %8s %8s  %s\n' "$mode" "$family" "$(basename "$f")" "$(stat -c %s "$f")" "$seconds" "$cpu" "$mem" "$outcome"
      key="$mode $family"
      if [ -z "${worstTime[$key]:-}" ] || [ "$(echo "$seconds > ${worstTime[$key]}" | bc -l)" = 1 ]; then worstTime[$key]=$seconds; fi
      if [ -z "${worstCpu[$key]:-}" ] || [ "$(echo "$cpu > ${worstCpu[$key]}" | bc -l)" = 1 ]; then worstCpu[$key]=$cpu; fi
      if [ -z "${worstMem[$key]:-}" ] || [ "$mem" -gt "${worstMem[$key]}" ]; then worstMem[$key]=$mem; fi
    done
  done
done
echo
# Wall time suffers from other work on the machine; CPU time (user and system) much less.
printf '%-14s %9s %9s %9s   %11s %11s %11s\n' family "worst s" "cpu s" "MB" "recount: s" "cpu s" "MB"
for family in $(cd "$cases" && ls); do
  printf '%-14s %9.2f %9.2f %9s   %11.2f %11.2f %11s\n' "$family" "${worstTime[plain $family]}" "${worstCpu[plain $family]}" \
    "${worstMem[plain $family]}" "${worstTime[recount $family]}" "${worstCpu[recount $family]}" "${worstMem[recount $family]}"
done
