# Shared by the bench/run-*.sh scripts (sourced, not run).

# The median of the numbers on standard input, one per line.
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# print_ratio FLOOR OURS COUNT [INDENT]: both medians per file and ours/floor.
print_ratio() {
  awk -v f="$1" -v o="$2" -v n="$3" -v p="${4:-}" 'BEGIN {
    printf "%sfloor median %.4f s (%.1f us/file)\n", p, f, f * 1e6 / n
    printf "%sours  median %.4f s (%.1f us/file)\n", p, o, o * 1e6 / n
    printf "%sratio ours/floor %.2f\n", p, o / f
  }'
}

# build_bench BUILD_FOLDER TARGET...: a Release build of the named programs, without the tests.
build_bench() {
  local build="$1"
  shift
  cmake -S "$(dirname "${BASH_SOURCE[0]}")/.." -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DVARNHOLM_BUILD_TESTS=OFF -DVARNHOLM_BUILD_BENCH=ON >/dev/null
  cmake --build "$build" -j2 --target "$@" >/dev/null
}

# tag_corpus BUILD_FOLDER COUNT: the folder of COUNT generated files that the tag and list
# benchmarks share, made once and kept under $TMPDIR (or /tmp).
tag_corpus() {
  local corpus="${TMPDIR:-/tmp}/varnholm-tag-corpus-$2"
  if [ ! -f "$corpus/.complete" ]; then
    rm -rf "$corpus"
    "$1/bin/make-corpus" "$corpus" "$2" >&2
    touch "$corpus/.complete"
  fi
  echo "$corpus"
}

# scratch_cli BUILD_FOLDER: makes $scratch (removed at exit) for the per-user folders and sets the
# array cli to run quenlor-cli with them, so that no run sees the user's own settings or data.
scratch_cli() {
  scratch="$(mktemp -d)"
  trap 'rm -rf "$scratch"' EXIT
  cli=(env HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
    XDG_STATE_HOME="$scratch/state" "$1/bin/quenlor-cli")
}

# warm_cache FOLDER: every MP3 file under it read once, so that the page cache holds them.
warm_cache() { find "$1" -name '*.mp3' -print0 | xargs -0 cat >/dev/null; }

# seconds_of COMMAND...: the seconds the command takes as a whole process, its output dropped;
# its exit status does not count (a plan exits 3).
seconds_of() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.4f\n", (e - s) / 1e9 }'
}
