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
