#!/usr/bin/env bash
# Runs every libFuzzer target of the fuzz build for a bounded time.
#   fuzz.sh short   under 2 minutes in all (called by `make test`)
#   fuzz.sh long    about 6 minutes in all (`make fuzz`)
# Configures and builds the fuzz preset when needed (only the fuzz targets and
# their seed corpora). Prints one line per target,
#   fuzz NAME: N runs, K crashes
# and exits non-zero when any target crashed. Findings are kept as
# build/fuzz/artifacts/NAME-crash-*; the growing corpus in build/fuzz/corpus.
# TW_FUZZ_DIR selects another build directory.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${TW_FUZZ_DIR:-$top/build/fuzz}
mode=${1:-short}
case "$mode" in
  short) budget=72 ;;
  long) budget=360 ;;
  *) echo "usage: $0 short|long" >&2; exit 2 ;;
esac

mkdir -p "$dir"
if [ ! -f "$dir/build.ninja" ]; then
  cmake --preset fuzz -B "$dir" > "$dir/fuzz-configure.log" 2>&1 || {
    tail -n 30 "$dir/fuzz-configure.log"; exit 1; }
fi
list=$dir/fuzz_targets.txt
[ -f "$list" ] || { echo "fuzz: no target list in $dir" >&2; exit 1; }
mapfile -t names < <(awk 'NF { print $1 }' "$list")
[ ${#names[@]} -gt 0 ] || { echo "fuzz: no targets" >&2; exit 1; }
cmake --build "$dir" -j 2 --target fuzz_seed_corpora "${names[@]}" > "$dir/fuzz-build.log" 2>&1 || {
  tail -n 30 "$dir/fuzz-build.log"; exit 1; }

seconds=$((budget / ${#names[@]}))
[ "$seconds" -lt 5 ] && seconds=5
mkdir -p "$dir/artifacts" "$dir/logs"
status=0
while read -r name seeds; do
  [ -n "$name" ] || continue
  corpus=$dir/corpus/$name
  # A seed kind of fuzz_seeds, or a directory of seeds given by its path.
  case "$seeds" in
    /*) seedDir=$seeds ;;
    *) seedDir=$dir/seeds/$seeds ;;
  esac
  mkdir -p "$corpus" "$seedDir"
  log=$dir/logs/$name.log
  before=$(ls "$dir/artifacts" | grep -c "^$name-" || true)
  "$dir/fuzzers/$name" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
    -rss_limit_mb=2048 -artifact_prefix="$dir/artifacts/$name-" \
    "$corpus" "$seedDir" > "$log" 2>&1
  rc=$?
  after=$(ls "$dir/artifacts" | grep -c "^$name-" || true)
  crashes=$((after - before))
  [ "$rc" != 0 ] && [ "$crashes" = 0 ] && crashes=1
  runs=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+).*/\1/p' "$log" | tail -n 1)
  echo "fuzz $name: ${runs:-0} runs, $crashes crashes"
  if [ "$crashes" != 0 ]; then
    status=1
    grep -E -m 5 'ERROR|check failed|SUMMARY|Test unit written' "$log" | sed 's/^/   | /'
  fi
done < "$list"
exit $status
