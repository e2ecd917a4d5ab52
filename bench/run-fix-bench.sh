#!/usr/bin/env bash
# Measures `quenlor-cli fix` against its floor, over COUNT files of AUDIO_KB of audio each:
#   fit      every tag fits its padding: the floor rewrites each file's tag bytes (and ID3v1 tag)
#            in place and renames the file; ours reads the folder, fixes every row and renames
#   rebuild  every album folder holds a Cover.jpg that the fix embeds, so no tag fits any more:
#            the floor writes each file again with a larger tag the safe way (temporary file,
#            flush, rename, folder flushed) and renames it; ours does the same through the fix
#   small    files of SMALL_KB of audio, about a tenth of their tags without padding: the floor
#            rewrites the padded tags in place and rebuilds the others the safe way, and renames
#
#   bench/run-fix-bench.sh [COUNT] [RUNS] [AUDIO_KB] [CASES]
#   (defaults: 2000 files, 5 runs, 4096 KB, "small fit rebuild"; SMALL_KB from the environment,
#   default 32)
#
# Builds Release into build-fixing-bench/, makes each corpus under $TMPDIR (or /tmp), puts it
# back from a snapshot before every run, and prints the medians and ours/floor. Each case needs
# COUNT * AUDIO_KB of free disk space; the corpus is removed afterwards.
#
# Ours runs twice per round: as users run it, with the undo journal, and with the journal off
# (VARNHOLM_BENCH_NO_JOURNAL set: read when the program starts, meant only for this comparison),
# so that the journal's cost shows next to the floor. The journal of one run is weighed against
# the original tag bytes it holds (ID3v2 areas with padding, ID3v1 tags).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
count="${1:-2000}"
runs="${2:-5}"
audio="${3:-4096}"
cases="${4:-small fit rebuild}"
small_kb="${SMALL_KB:-32}"
cover_kb=64
build="$root/build-fixing-bench"
work="${TMPDIR:-/tmp}/varnholm-fix-bench"

. "$(dirname "$0")/bench-common.sh"
build_bench "$build" make-corpus fix-floor quenlor-cli
bin="$build/bin"

# Our runs start from a new per-user state each time, so that learned data of an earlier run
# never changes what the next one does.
fresh_home() {
  rm -rf "$work/home"
  mkdir -p "$work/home"
  export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/data" \
    XDG_STATE_HOME="$work/home/state"
}

restore() {
  "$bin/fix-floor" restore "$corpus" "$work/snapshot" >/dev/null
  sync
}

seconds_of() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>"$work/last.err" || { cat "$work/last.err" >&2; return 1; }
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f\n", e - s }'
}


total_size() { find "$corpus" -name '*.mp3' -printf '%s\n' | awk '{ s += $1 } END { print s }'; }

for case in $cases; do
  corpus="$work/corpus"
  rm -rf "$work"
  mkdir -p "$work"
  extra=()
  floor_args=()
  audio_kb="$audio"
  if [ "$case" = rebuild ]; then
    extra=(--cover-kb=$cover_kb)
    floor_args=(--grow=$(((cover_kb + 4) * 1024)))
  elif [ "$case" = small ]; then
    audio_kb="$small_kb"
    extra=(--unpadded-percent=10)
    floor_args=(--grow-unpadded=2048)
  fi
  "$bin/make-corpus" "$corpus" "$count" --audio-kb="$audio_kb" --padding=4096 --all-id3v2 \
    "${extra[@]}" >/dev/null
  "$bin/fix-floor" save "$corpus" "$work/snapshot" >/dev/null
  size_before=$(total_size)
  echo "case $case: $count files, corpus $(du -sh "$corpus" | cut -f1)"

  # ours_once [nojournal]
  ours_once() {
    fresh_home
    if [ "$case" = rebuild ]; then
      "$bin/quenlor-cli" options set EmbedCoverArtDuringFixingProcess 1 >/dev/null
    fi
    if [ "${1:-}" = nojournal ]; then
      VARNHOLM_BENCH_NO_JOURNAL=1 seconds_of "$bin/quenlor-cli" fix "$corpus"
    else
      seconds_of "$bin/quenlor-cli" fix "$corpus"
    fi
  }

  # Warm-up: each program once, and the files read into the page cache.
  find "$corpus" -name '*.mp3' -print0 | xargs -0 cat >/dev/null
  seconds_of "$bin/fix-floor" run "$corpus" "${floor_args[@]}" >/dev/null
  restore
  ours_once >/dev/null
  if ! grep -q "^$count file(s) - 0 mismatch(es)" "$work/last.err"; then
    echo "our fix left work undone: $(tail -1 "$work/last.err")" >&2
    exit 1
  fi
  size_after=$(total_size)
  journal=$(find "$XDG_DATA_HOME" -name '*.journal')
  journal_bytes=$(stat -c %s "$journal")
  # The tags a run holds are in its records made before each file's first change ("k":"b"); the
  # tags themselves follow those records' lines as they are, so the journal is read as text.
  tag_bytes=$(grep -ao '{"k":"b"[^}]*}' "$journal" | grep -o '"v[12]size":"[0-9]*"' | cut -d'"' -f4 |
    awk '{ s += $1 } END { print s }')
  if [ "$case" = fit ] && [ "$size_after" != "$size_before" ]; then
    echo "some tag did not fit its padding ($size_before bytes before, $size_after after)" >&2
    exit 1
  fi

  floor_times=()
  ours_times=()
  bare_times=()
  for ((i = 1; i <= runs; i++)); do
    restore
    floor_times+=("$(seconds_of "$bin/fix-floor" run "$corpus" "${floor_args[@]}")")
    restore
    ours_times+=("$(ours_once)")
    restore
    bare_times+=("$(ours_once nojournal)")
  done
  floor=$(printf '%s\n' "${floor_times[@]}" | median)
  ours=$(printf '%s\n' "${ours_times[@]}" | median)
  bare=$(printf '%s\n' "${bare_times[@]}" | median)
  echo "  floor runs (s): ${floor_times[*]}"
  echo "  ours runs (s):  ${ours_times[*]}"
  echo "  ours without journal runs (s): ${bare_times[*]}"
  print_ratio "$floor" "$ours" "$count" "  "
  awk -v f="$floor" -v o="$ours" -v b="$bare" -v n="$count" 'BEGIN {
    printf "  ours without journal median %.4f s (%.1f us/file), ratio to floor %.2f\n", b, b * 1e6 / n, b / f
    printf "  ratio ours/ours without journal %.2f\n", o / b
  }'
  awk -v j="$journal_bytes" -v t="$tag_bytes" 'BEGIN {
    printf "  journal of one run %d bytes for %d bytes of original tags (%.2fx)\n", j, t, j / t
  }'
  rm -rf "$work"
done
