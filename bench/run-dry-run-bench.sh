#!/usr/bin/env bash
# Measures `quenlor-cli fix --dry-run` against `quenlor-cli list` over the same generated library:
# the plan reads and checks everything the fix would and writes nothing, so it should cost little
# more than listing.
#
#   bench/run-dry-run-bench.sh [COUNT] [RUNS]      (defaults: 20000 files, 5 runs)
#
# Builds Release into $BUILD (default build-bench/) and shares the corpus of run-list-bench.sh
# (made once under $TMPDIR or /tmp). Both run with their per-user folders in a scratch folder that
# one untimed list has filled with learned data; the page cache is warmed first, then list and
# the dry run take turns RUNS times, each timed as a whole process. Prints the medians and
# dry-run/list. The corpus is checked to be unchanged afterwards.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
count="${1:-20000}"
runs="${2:-5}"
build="${BUILD:-$root/build-bench}"

. "$(dirname "$0")/bench-common.sh"
build_bench "$build" make-corpus quenlor-cli

corpus="$(tag_corpus "$build" "$count")"
echo "corpus: $corpus ($(du -sh "$corpus" | cut -f1))"

scratch_cli "$build"

# Warm cache, learned data in place, and what each run prints.
warm_cache "$corpus"
"${cli[@]}" list "$corpus" >"$scratch/list.csv" 2>/dev/null
status=0
"${cli[@]}" fix --dry-run "$corpus" >"$scratch/plan.csv" 2>/dev/null || status=$?
echo "list: $(($(wc -l <"$scratch/list.csv") - 1)) rows; plan: $(($(wc -l <"$scratch/plan.csv") - 1)) lines, exit $status"
before=$(find "$corpus" -type f -printf '%p %s %T@\n' | sort | md5sum)

list_times=()
plan_times=()
for ((i = 1; i <= runs; i++)); do
  list_times+=("$(seconds_of "${cli[@]}" list "$corpus")")
  plan_times+=("$(seconds_of "${cli[@]}" fix --dry-run "$corpus")")
done
after=$(find "$corpus" -type f -printf '%p %s %T@\n' | sort | md5sum)
[ "$before" = "$after" ] || { echo "the dry run changed the corpus" >&2; exit 1; }

list=$(printf '%s\n' "${list_times[@]}" | median)
plan=$(printf '%s\n' "${plan_times[@]}" | median)
echo "list runs (s):    ${list_times[*]}"
echo "dry-run runs (s): ${plan_times[*]}"
awk -v l="$list" -v p="$plan" -v n="$count" 'BEGIN {
  printf "list    median %.3f s (%.1f us/file)\n", l, l * 1e6 / n
  printf "dry run median %.3f s (%.1f us/file)\n", p, p * 1e6 / n
  printf "ratio dry-run/list %.2f\n", p / l
}'
