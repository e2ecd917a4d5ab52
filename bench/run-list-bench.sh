#!/usr/bin/env bash
# Measures `quenlor-cli list` over a generated library against the floor program (open each
# file, read its ID3v2 header and declared tag bytes and its last 128 bytes), and the peak memory
# of both.
#
#   bench/run-list-bench.sh [COUNT] [RUNS]      (defaults: 20000 files, 5 runs)
#
# Builds Release into $BUILD (default build-bench/), makes the corpus once under $TMPDIR (or
# /tmp), warms the page cache, then runs floor and list alternately RUNS times. Both are timed as
# whole processes (start-up, walk, reading, output and shut-down included); the list runs with
# its per-user folders in a scratch folder that one untimed run has filled with learned data, as
# a second run over a library finds them. Prints the medians, ours/floor and the peak resident
# memory (from /usr/bin/time -v).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
count="${1:-20000}"
runs="${2:-5}"
build="${BUILD:-$root/build-bench}"

if [ ! -x /usr/bin/time ]; then
  echo "needs /usr/bin/time (Debian package 'time')" >&2
  exit 2
fi

. "$(dirname "$0")/bench-common.sh"
build_bench "$build" make-corpus tag-floor quenlor-cli

corpus="$(tag_corpus "$build" "$count")"
echo "corpus: $corpus ($(du -sh "$corpus" | cut -f1))"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
list=(env HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
  XDG_STATE_HOME="$scratch/state" "$build/bin/quenlor-cli" list "$corpus")

# Warm cache: every file read once, and each program run once (the list run learns the genres).
find "$corpus" -name '*.mp3' -print0 | xargs -0 cat >/dev/null
"$build/bin/tag-floor" "$corpus" >/dev/null
"${list[@]}" >"$scratch/list.csv" 2>"$scratch/list.err"
rows=$(($(wc -l <"$scratch/list.csv") - 1))
echo "list: $rows rows, status: $(cat "$scratch/list.err")"

# Runs a command, prints "seconds peak-KB cpu-seconds".
measure() {
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f '%M %U %S' -o "$scratch/time" "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  read -r peak user sys <"$scratch/time"
  awk -v s="$start" -v e="$end" -v m="$peak" -v u="$user" -v k="$sys" \
    'BEGIN { printf "%.4f %d %.2f\n", (e - s) / 1e9, m, u + k }'
}

floor_times=()
ours_times=()
floor_cpu=()
ours_cpu=()
floor_peak=0
ours_peak=0
for ((i = 1; i <= runs; i++)); do
  read -r t m c < <(measure "$build/bin/tag-floor" "$corpus")
  floor_times+=("$t")
  floor_cpu+=("$c")
  ((m > floor_peak)) && floor_peak=$m
  read -r t m c < <(measure "${list[@]}")
  ours_times+=("$t")
  ours_cpu+=("$c")
  ((m > ours_peak)) && ours_peak=$m
done
floor=$(printf '%s\n' "${floor_times[@]}" | median)
ours=$(printf '%s\n' "${ours_times[@]}" | median)
echo "floor runs (s): ${floor_times[*]}  cpu: ${floor_cpu[*]}"
echo "list runs (s):  ${ours_times[*]}  cpu: ${ours_cpu[*]}"
awk -v f="$floor" -v o="$ours" -v n="$count" -v fp="$floor_peak" -v op="$ours_peak" 'BEGIN {
  printf "floor median %.3f s (%.1f us/file), peak %.1f MB\n", f, f * 1e6 / n, fp / 1024
  printf "list  median %.3f s (%.1f us/file), peak %.1f MB\n", o, o * 1e6 / n, op / 1024
  printf "ratio list/floor %.2f\n", o / f
}'
