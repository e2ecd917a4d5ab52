#!/usr/bin/env bash
# Measures `quenlor-cli list` over a generated library against two floors that read only the
# bytes a tag reader must read (each file's ID3v2 header and declared tag bytes and its last 128
# bytes): one file after the other (sequential floor), and the same reads on N threads (parallel
# floor). Also the peak memory of each.
#
#   bench/run-list-bench.sh [--cold] [COUNT] [RUNS]      (defaults: 20000 files, 5 runs)
#
# Warm (the default): the page cache is filled first. --cold drops the page cache before every
# timed run; that needs root (a writable /proc/sys/vm/drop_caches), and without it the script
# says so and skips. PARALLEL_READERS sets N (default 32); VARNHOLM_READERS, when set, the
# readers of the list run (default: the program's own choice).
#
# Builds Release into $BUILD (default build-bench/), makes the corpus once under $TMPDIR (or
# /tmp), then runs the three alternately RUNS times. All are timed as whole processes (start-up,
# walk, reading, output and shut-down included); the list runs with its per-user folders in a
# scratch folder that one untimed run has filled with learned data, as a second run over a
# library finds them. Prints the medians, their ratios and the peak resident memory (from
# /usr/bin/time -v).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
cold=0
if [ "${1:-}" = "--cold" ]; then
  cold=1
  shift
fi
count="${1:-20000}"
runs="${2:-5}"
build="${BUILD:-$root/build-bench}"
parallel="${PARALLEL_READERS:-32}"

if [ ! -x /usr/bin/time ]; then
  echo "needs /usr/bin/time (Debian package 'time')" >&2
  exit 2
fi

drop_page_cache() { sync && { echo 3 >/proc/sys/vm/drop_caches; } 2>/dev/null; }
if ((cold)) && ! drop_page_cache; then
  echo "cold cache: the page cache cannot be dropped here (needs root and a writable" \
    "/proc/sys/vm/drop_caches); skipped"
  exit 0
fi

. "$(dirname "$0")/bench-common.sh"
build_bench "$build" make-corpus tag-floor quenlor-cli

corpus="$(tag_corpus "$build" "$count")"
echo "corpus: $corpus ($(du -sh "$corpus" | cut -f1))"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
list=(env HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
  XDG_STATE_HOME="$scratch/state" "$build/bin/quenlor-cli" list "$corpus")

# Every file read once, and each program run once (the list run learns the genres).
find "$corpus" -name '*.mp3' -print0 | xargs -0 cat >/dev/null
"$build/bin/tag-floor" "$corpus" >/dev/null
"${list[@]}" >"$scratch/list.csv" 2>"$scratch/list.err"
rows=$(($(wc -l <"$scratch/list.csv") - 1))
echo "list: $rows rows, status: $(cat "$scratch/list.err"), readers: ${VARNHOLM_READERS:-default}"

# Runs a command (after dropping the page cache in cold mode), prints "seconds peak-KB cpu".
measure() {
  local start end
  if ((cold)); then drop_page_cache; fi
  start=$(date +%s%N)
  /usr/bin/time -f '%M %U %S' -o "$scratch/time" "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  read -r peak user sys <"$scratch/time"
  awk -v s="$start" -v e="$end" -v m="$peak" -v u="$user" -v k="$sys" \
    'BEGIN { printf "%.4f %d %.2f\n", (e - s) / 1e9, m, u + k }'
}

names=(seq par list)
declare -A times cpu peak
for n in "${names[@]}"; do peak[$n]=0; done
run_one() { # NAME COMMAND...
  local name="$1" t m c
  shift
  read -r t m c < <(measure "$@")
  times[$name]+="$t "
  cpu[$name]+="$c "
  ((m > peak[$name])) && peak[$name]=$m
  return 0
}
for ((i = 1; i <= runs; i++)); do
  run_one seq "$build/bin/tag-floor" "$corpus"
  run_one par "$build/bin/tag-floor" --threads "$parallel" "$corpus"
  run_one list "${list[@]}"
done

declare -A med
for n in "${names[@]}"; do
  med[$n]=$(printf '%s\n' ${times[$n]} | median)
  echo "$n runs (s): ${times[$n]} cpu: ${cpu[$n]}"
done
mode=$([ "$cold" = 1 ] && echo cold || echo warm)
awk -v mode="$mode" -v n="$count" -v p="$parallel" -v s="${med[seq]}" -v q="${med[par]}" \
  -v o="${med[list]}" -v sp="${peak[seq]}" -v qp="${peak[par]}" -v op="${peak[list]}" 'BEGIN {
  printf "%s cache, %d files, medians of the runs above:\n", mode, n
  printf "  sequential floor    %.3f s (%.1f us/file), peak %.1f MB\n", s, s * 1e6 / n, sp / 1024
  printf "  parallel floor (%d) %.3f s (%.1f us/file), peak %.1f MB\n", p, q, q * 1e6 / n, qp / 1024
  printf "  list                %.3f s (%.1f us/file), peak %.1f MB\n", o, o * 1e6 / n, op / 1024
  printf "  ratio list/sequential floor %.2f, list/parallel floor %.2f\n", o / s, o / q
}'
