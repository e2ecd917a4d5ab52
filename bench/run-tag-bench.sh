#!/usr/bin/env bash
# Measures how fast the analysis values of a library are read through our tag components,
# against the floor (open, ID3v2 header, declared tag bytes, last 128 bytes).
#
#   bench/run-tag-bench.sh [COUNT] [RUNS]      (defaults: 20000 files, 5 runs)
#
# Builds Release into build-bench/, makes the corpus once under $TMPDIR (or /tmp), warms the page
# cache, runs floor and reader alternately RUNS times and prints the medians and ours/floor.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
count="${1:-20000}"
runs="${2:-5}"
build="$root/build-bench"

. "$(dirname "$0")/bench-common.sh"
build_bench "$build" make-corpus tag-floor tag-reader

corpus="$(tag_corpus "$build" "$count")"
echo "corpus: $corpus ($(du -sh "$corpus" | cut -f1))"

# Warm cache: every file read once, and each program run once.
find "$corpus" -name '*.mp3' -print0 | xargs -0 cat >/dev/null
"$build/bin/tag-floor" "$corpus" >/dev/null
"$build/bin/tag-reader" "$corpus" >/dev/null

seconds() { sed -n 's/.* seconds \([0-9.]*\).*/\1/p'; }

floor_times=()
ours_times=()
for ((i = 1; i <= runs; i++)); do
  floor_times+=("$("$build/bin/tag-floor" "$corpus" | seconds)")
  ours_times+=("$("$build/bin/tag-reader" "$corpus" | seconds)")
done
floor=$(printf '%s\n' "${floor_times[@]}" | median)
ours=$(printf '%s\n' "${ours_times[@]}" | median)
echo "floor runs (s): ${floor_times[*]}"
echo "ours runs (s):  ${ours_times[*]}"
print_ratio "$floor" "$ours" "$count"
