#!/usr/bin/env bash
# Runs every libFuzzer target of the fuzz build for a bounded time, then the
# mutation loop of the parsers that run only on the target (target_fuzz under
# Wine: WAVE images through mmio, MP3 and MP2 files through mpadec.dll) for a
# number of cases per target.
#   fuzz.sh short   under 2 minutes in all, 3000 cases (called by `make test`)
#   fuzz.sh long    about 6 minutes in all, 100000 cases (`make fuzz`)
# Configures and builds the fuzz preset when needed (only the fuzz targets and
# their seed corpora), and the loop's programs in the win32 build
# (TW_WIN32_DIR selects another one). Prints one line per target,
#   fuzz NAME: N runs, K crashes
# and exits non-zero when any target crashed. Findings are kept as
# build/fuzz/artifacts/NAME-crash-*; the growing corpus in build/fuzz/corpus.
# TW_FUZZ_DIR selects another build directory.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${TW_FUZZ_DIR:-$top/build/fuzz}
mode=${1:-short}
case "$mode" in
  short) budget=72 cases=3000 ;;
  long) budget=360 cases=100000 ;;
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

# The target's own parsers: a line per target as above. A run that dies
# without its line counts as a crash.
source "$top/tests/support/wine.sh"
win=${TW_WIN32_DIR:-$top/build/win32}
if [ ! -f "$win/build.ninja" ]; then
  cmake --preset win32 -B "$win" > "$dir/target-configure.log" 2>&1 || {
    tail -n 30 "$dir/target-configure.log"; exit 1; }
fi
cmake --build "$win" -j 2 --target target_fuzz mpadec mpeg_test_files \
  > "$dir/target-build.log" 2>&1 || { tail -n 30 "$dir/target-build.log"; exit 1; }
run_target_fuzz() {  # run_target_fuzz NAME [SEED_DIR DLL]
  local name=$1 log=$dir/logs/$1.log line rc
  shift
  env -u DISPLAY "$top/tests/support/wine-exec.sh" "$win/tests/support/target_fuzz.exe" \
    "$name" "$cases" "$(tw_winpath "$dir/artifacts")" "$@" > "$log" 2>&1
  rc=$?
  line=$(grep -m 1 "^fuzz $name: " "$log" | tr -d '\r')
  [ -n "$line" ] || line="fuzz $name: 0 runs, 1 crashes"
  [ "$rc" != 0 ] && line=${line/ 0 crashes/ 1 crashes}
  echo "$line"
  case "$line" in
    *" 0 crashes") ;;
    *) status=1
       grep -E -m 5 'crash in|exception|check failed|cannot|no seeds' "$log" | sed 's/^/   | /' ;;
  esac
}
run_target_fuzz fuzz_wave_mmio
run_target_fuzz fuzz_mpadec "$(tw_winpath "$win/tests/mpeg")" "$(tw_winpath "$win/bin/mpadec.dll")"
exit $status
