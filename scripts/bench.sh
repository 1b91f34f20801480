#!/usr/bin/env bash
# Runs every benchmark program of the bench build. Each prints its own
# comparison lines ("ratio A/B V", "setup_ms X", ...); they are gathered at the
# end so the summary reads in one place.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
dir=$top/build/bench/benchmarks
summary=$top/build/bench/summary.txt
: > "$summary"
status=0
for program in "$dir"/*; do
  [ -x "$program" ] || continue
  echo "== $(basename "$program")"
  "$program" --benchmark_min_time=0.2 2>&1 | tee -a "$summary.raw" \
    | grep -E '^(ratio|[a-z_0-9]+_ms|build_)' >> "$summary" || true
  [ "${PIPESTATUS[0]}" = 0 ] || status=1
done
echo "== summary"
cat "$summary"
exit $status
