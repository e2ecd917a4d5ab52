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
