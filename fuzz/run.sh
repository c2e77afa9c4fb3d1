#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the document-engine fuzzer on one family of seed documents for a while, one job at a time.
#   fuzz/run.sh FAMILY SECONDS      FAMILY: ole | zip | rtf | other | all
# Seeds come from the shared document corpus beside the project (not copied: linked from a temporary
# folder); the growing corpus and any crashing inputs land in fuzz-out/ (ignored by git). A crasher is
# then minimised, kept in tests/data/word/ under a name saying what it broke, and replayed by the tests.
# Inputs are capped at 128 KiB, except for the OLE family: a compound file's directory and property sets
# only show their costly shapes at megabytes, so its cap is 8 MiB (MAX_LEN overrides either).
# EXTRA_SEEDS names a folder of further seeds, e.g. the hostile cases bench/word/bench_hostile_cases
# writes.
set -euo pipefail
cd "$(dirname "$0")/.."
family=${1:?family: ole, zip, rtf, other or all}
seconds=${2:-600}
if [ "$family" = ole ]; then default_len=8388608; else default_len=131072; fi
max_len=${MAX_LEN:-$default_len}
corpus_src=$(cd .. && pwd)/shared/corpus
[ -x build/fuzz/fuzz_word_engine ] || bash fuzz/build.sh
seeds=$(mktemp -d /tmp/qv-fuzz-seeds.XXXXXX)
trap 'rm -rf "$seeds"' EXIT
case "$family" in
  ole)   pattern='.*\.\(doc\|dot\|DOC\)$' ;;
  zip)   pattern='.*\.\(docx\|docm\|dotx\|dotm\|odt\)$' ;;
  rtf)   pattern='.*\.rtf$' ;;
  other) pattern='.*\.\(xml\|txt\|json\)$' ;;
  all)   pattern='.*' ;;
  *) echo "unknown family $family" >&2; exit 2 ;;
esac
if [ -d "$corpus_src" ]; then
  n=0
  while IFS= read -r f; do
    [ "$(stat -c %s "$f")" -le "$(( max_len > 262144 ? max_len : 262144 ))" ] || continue
    n=$((n + 1)); ln -s "$f" "$seeds/$n"
  done < <(find "$corpus_src" -type f -regex "$pattern")
fi
# The engine's own unit-test inputs and earlier crashers are seeds too.
[ -d tests/data/word ] && find tests/data/word -type f -exec ln -s "$PWD/{}" "$seeds/" \; 2>/dev/null || true
if [ -n "${EXTRA_SEEDS:-}" ] && [ -d "$EXTRA_SEEDS" ]; then
  n=0
  while IFS= read -r f; do
    [ "$(stat -c %s "$f")" -le "$max_len" ] || continue
    n=$((n + 1)); ln -s "$(realpath "$f")" "$seeds/extra-$n"
  done < <(find "$EXTRA_SEEDS" -type f -regex "$pattern")
fi
mkdir -p "fuzz-out/corpus/$family" fuzz-out/crashes
# Leaks are checked afterwards by fuzz/check-leaks.sh (it needs full stack unwinding, too slow while
# fuzzing, to tell the engine's allocations from libgsf's own leak, see fuzz/lsan.supp).
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
build/fuzz/fuzz_word_engine "fuzz-out/corpus/$family" "$seeds" \
  -dict=fuzz/word.dict -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=1024 \
  -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix=fuzz-out/crashes/"$family"-
