#!/usr/bin/env bash
# Measures `quenlor-cli stats` and `quenlor-cli export` (to CSV and to an extended M3U playlist)
# against `quenlor-cli list` over the same generated library. The statistics count what the list
# holds, the CSV export writes what list prints, and the playlist also finds every track's length
# (about 70% of the generated files have no TLEN frame, so their audio is measured).
#
#   bench/run-stats-export-bench.sh [COUNT] [RUNS]      (defaults: 20000 files, 5 runs)
#
# Builds Release into $BUILD (default build-bench/) and shares the corpus of run-list-bench.sh
# (made once under $TMPDIR or /tmp). Every run has its per-user folders in a scratch folder that
# one untimed list has filled with learned data; the page cache is warmed first, then list,
# stats, the CSV export and the playlist export take turns RUNS times, each timed as a whole
# process. Prints the medians and each one's ratio to list, then the peak memory of each.
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

# Warm cache, learned data in place, the extended playlist form chosen.
warm_cache "$corpus"
"${cli[@]}" options set ExportPlaylistUsingExtendedM3UFormat 1 >/dev/null
"${cli[@]}" list "$corpus" >"$scratch/list.csv" 2>/dev/null
"${cli[@]}" export "$scratch/out.csv" "$corpus" 2>/dev/null
cmp -s "$scratch/list.csv" "$scratch/out.csv" || { echo "export differs from list" >&2; exit 1; }
"${cli[@]}" export "$scratch/out.m3u" "$corpus" 2>/dev/null
echo "list: $(($(wc -l <"$scratch/list.csv") - 1)) rows; playlist: $(grep -c '^#EXTINF:-1,' "$scratch/out.m3u" || true) unknown lengths"

list_times=()
stats_times=()
csv_times=()
m3u_times=()
for ((i = 1; i <= runs; i++)); do
  list_times+=("$(seconds_of "${cli[@]}" list "$corpus")")
  stats_times+=("$(seconds_of "${cli[@]}" stats "$corpus")")
  csv_times+=("$(seconds_of "${cli[@]}" export "$scratch/out.csv" "$corpus")")
  m3u_times+=("$(seconds_of "${cli[@]}" export "$scratch/out.m3u" "$corpus")")
done
list=$(printf '%s\n' "${list_times[@]}" | median)
echo "list runs (s):       ${list_times[*]}"
echo "stats runs (s):      ${stats_times[*]}"
echo "export csv runs (s): ${csv_times[*]}"
echo "export m3u runs (s): ${m3u_times[*]}"
printf 'list       median %.3f s (%.1f us/file)\n' "$list" "$(awk -v l="$list" -v n="$count" 'BEGIN { print l * 1e6 / n }')"
for name in stats csv m3u; do
  declare -n times="${name}_times"
  m=$(printf '%s\n' "${times[@]}" | median)
  awk -v l="$list" -v m="$m" -v n="$count" -v name="$name" 'BEGIN {
    printf "%-10s median %.3f s (%.1f us/file), ratio to list %.2f\n", name, m, m * 1e6 / n, m / l
  }'
done

# Peak memory of one more run of each (GNU time, Debian package "time"), to see how it grows with
# the library.
if [ -x /usr/bin/time ]; then
  peak_mb() {
    /usr/bin/time -f %M -o "$scratch/rss" "${cli[@]}" "$@" >/dev/null 2>&1
    echo $(($(tail -1 "$scratch/rss") / 1024))
  }
  printf 'peak RSS (MB): list %d, stats %d, csv %d, m3u %d\n' "$(peak_mb list "$corpus")" \
    "$(peak_mb stats "$corpus")" "$(peak_mb export "$scratch/out.csv" "$corpus")" \
    "$(peak_mb export "$scratch/out.m3u" "$corpus")"
fi
