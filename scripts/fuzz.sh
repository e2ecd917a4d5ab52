#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under AddressSanitizer and UndefinedBehaviorSanitizer
# into build-fuzz/ and runs them for a bounded time each.
#
#   scripts/fuzz.sh [-t SECONDS] [-j JOBS] [TARGET...]
#
# TARGET is the name after fuzz_ (id3v1, id3v2, id3v2roundtrip, lnk, m3u, flatfile, settings...);
# without one, every target that is built runs in turn. SECONDS (default 60) is per target.
# New inputs collect in build-fuzz/corpus/TARGET (the seeds under tests/fuzz/corpus stay as they
# are); crashes are written to build-fuzz/crashes/TARGET/ and end the run with a non-zero status.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"
seconds=60
jobs=1
while getopts "t:j:" opt; do
  case "$opt" in
    t) seconds="$OPTARG" ;;
    j) jobs="$OPTARG" ;;
    *) echo "usage: $0 [-t SECONDS] [-j JOBS] [TARGET...]" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))

# Fuzzing is not part of the normal build, so its compiler is installed here, on demand.
if ! command -v clang++ >/dev/null || ! compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends clang libclang-rt-dev
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVARNHOLM_FUZZ=ON -DVARNHOLM_SANITIZE=ON -DVARNHOLM_BUILD_TESTS=ON -DVARNHOLM_BUILD_BENCH=OFF >/dev/null

if [ $# -eq 0 ]; then
  mapfile -t targets < <(cmake --build "$build" --target help | sed -n 's/^\(fuzz_[a-z0-9]*\):.*/\1/p' | sed 's/^fuzz_//' | sort)
else
  targets=("$@")
fi
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets" >&2; exit 1; }
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

# The ID3v2 round-trip and rebuild targets start from the reader's seeds.
seed_folder() {
  case "$1" in
    id3v1*) echo "$root/tests/fuzz/corpus/id3v1" ;;
    id3v2*) echo "$root/tests/fuzz/corpus/id3v2" ;;
    *) echo "$root/tests/fuzz/corpus/$1" ;;
  esac
}

# ASan's quarantine (256 MB by default) fills up over a long run and shows as resident memory
# near the limit; a smaller one still catches use after free.
export ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=64}"

status=0
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  crashes="$build/crashes/$t"
  mkdir -p "$corpus" "$crashes"
  echo "== fuzz_$t for ${seconds}s"
  log="$build/fuzz_$t.log"
  # -rss_limit_mb: a reader that allocates far more than the input's size is a finding too.
  # With -jobs above 1 libFuzzer writes one fuzz-N.log per job into the working folder.
  parallel=()
  [ "$jobs" -gt 1 ] && parallel=(-jobs="$jobs" -workers="$jobs")
  rm -f "$build"/fuzz-*.log
  set +e
  (cd "$build" && "$build/bin/fuzz_$t" "$corpus" "$(seed_folder "$t")" -max_total_time="$seconds" \
    "${parallel[@]}" -rss_limit_mb=2048 -max_len=65536 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$crashes/") >"$log" 2>&1
  rc=$?
  set -e
  grep -hE '^(#[0-9]+[[:space:]]+(INITED|DONE)|stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY|Test unit written|fuzz property failed)' \
    "$log" "$build"/fuzz-*.log 2>/dev/null || true
  if [ $rc -ne 0 ] || compgen -G "$crashes/*" >/dev/null; then
    echo "fuzz_$t: crash or failure, see $log and $crashes/" >&2
    status=1
  fi
done
exit $status
