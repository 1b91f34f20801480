#!/usr/bin/env bash
# Every test tier, in order: host unit tests (sanitizers), target unit tests
# under Wine, end-to-end tests under Wine and Xvfb, and a short fuzzing run.
# Ends with one line "N passed, N failed" counting the test programs and
# end-to-end scripts.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
source tests/support/wine.sh

passed=0
failed=0
failures=()

record() {  # record NAME STATUS
  if [ "$2" = 0 ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    failures+=("$1")
  fi
}

run_ctest() {  # run_ctest TIER BUILD_DIR
  local tier=$1 dir=$2 log=$2/ctest.log name status counted=0 broken=0
  echo "== $tier"
  (cd "$dir" && ctest --output-on-failure --no-tests=error -j 2 > ctest.log 2>&1)
  status=$?
  tail -n 3 "$log" | sed 's/^/   /'
  while read -r name; do record "$tier:$name" 0; counted=$((counted + 1)); done < <(
    sed -nE 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: ([^ ]+) \.+ +Passed.*/\1/p' "$log")
  while read -r name; do record "$tier:$name" 1; broken=$((broken + 1)); done < <(
    sed -nE 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: ([^ ]+) \.+.*(Failed|Exception|Timeout|Not Run).*/\1/p' "$log")
  if grep -qE '(Failed|Exception|Timeout)' "$log"; then
    grep -E -B2 -A30 '\*\*\*(Failed|Exception|Timeout)' "$log" | head -n 200
  fi
  # A run that found no tests, or that failed in a way no test line shows,
  # is a failure of the tier.
  if [ "$counted" = 0 ] || { [ "$status" != 0 ] && [ "$broken" = 0 ]; }; then
    echo "   ctest ended with status $status after $counted passing tests"
    record "$tier:ctest" 1
  fi
}

run_ctest "host unit" build/host

if tw_xvfb_start 1024x768x24; then
  run_ctest "win32 unit" build/win32
  tw_prefix unit && tw_wine_stop
  tw_xvfb_stop
else
  record "win32 unit:display" 1
fi

# The graphics tests again on 16- and 8-bit screens, where the window
# surfaces and the display's palette realisation take their other paths.
for depth in 16 8; do
  echo "== win32 graphics on a $depth-bit screen"
  tw_xvfb_start 640x480x$depth || { record "win32-$depth:gfx_tests" 1; continue; }
  log=build/win32/gfx-$depth.log
  if tests/support/wine-exec.sh build/win32/tests/gfx_tests.exe --gtest_brief=1 > "$log" 2>&1; then
    record "win32-$depth:gfx_tests" 0
    tail -n 1 "$log" | sed 's/^/   /'
  else
    record "win32-$depth:gfx_tests" 1
    tail -n 40 "$log" | sed 's/^/   | /'
  fi
  tw_prefix unit && tw_wine_stop
  tw_xvfb_stop
done

# One end-to-end script: its log in build/e2e, a line of its own, and its
# name and status appended to the results file. Each script has its own Wine
# prefix and display.
run_e2e() {  # run_e2e SCRIPT RESULTS
  local name log started status
  name=$(basename "$1" .sh)
  log=build/e2e/$name.log
  started=$SECONDS
  timeout 900 bash "$1" > "$log" 2>&1
  status=$?
  if [ "$status" = 0 ]; then
    echo "   $name: ok ($((SECONDS - started)) s)"
  else
    echo "   $name: FAILED ($((SECONDS - started)) s)"
    tail -n 40 "$log" | sed 's/^/   | /'
  fi
  echo "e2e:$name $status" >> "$2"
}

# Scripts that measure time (they say "# Measures time" at the top) run one
# after the other with the machine to themselves; then the scripts that only
# look at pictures and traces run in two lanes, beside the short fuzzing run.
mkdir -p build/e2e
results=build/e2e/results.txt
: > "$results"
timed=()
untimed=()
for script in tests/e2e/*_test.sh; do
  if grep -q '^# Measures time' "$script"; then timed+=("$script"); else untimed+=("$script"); fi
done
echo "== end-to-end, scripts that measure time"
for script in "${timed[@]}"; do run_e2e "$script" "$results"; done
echo "== end-to-end, the others in two lanes beside the fuzzing (short)"
lanes=()
for lane in 0 1; do
  (
    for ((i = lane; i < ${#untimed[@]}; i += 2)); do run_e2e "${untimed[i]}" "$results"; done
  ) &
  lanes+=($!)
done
if scripts/fuzz.sh short; then echo "fuzz 0" >> "$results"; else echo "fuzz 1" >> "$results"; fi
wait "${lanes[@]}"
while read -r name status; do record "$name" "$status"; done < "$results"
# Every script and the fuzzing run said how they ended.
[ "$(wc -l < "$results")" = $((${#timed[@]} + ${#untimed[@]} + 1)) ] || record "e2e:results" 1

[ ${#failures[@]} -gt 0 ] && printf 'failed: %s\n' "${failures[@]}"
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
