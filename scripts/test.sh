#!/usr/bin/env bash
# The test tiers, all of them or those named:
#   scripts/test.sh                  every tier, in order: host unit tests
#                                    (sanitizers), target unit tests under
#                                    Wine, end-to-end scripts under Wine and
#                                    Xvfb beside a short fuzzing run
#   scripts/test.sh TIER...          only those tiers: host, win32, e2e, fuzz
#   scripts/test.sh e2e NAME...      only those end-to-end scripts (scene_fill,
#                                    scene_fill_test or a path to the script)
# Ends with one line "N passed, N failed": every ctest test, every end-to-end
# script and the fuzzing run count once. The unit tiers' results are read
# from ctest's JUnit report (build/*/ctest-junit.xml), their output is in
# build/*/ctest.log; each script's log is build/e2e/NAME.log.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

usage() {
  echo "usage: $0 [host] [win32] [e2e [NAME...]] [fuzz]" >&2
  exit 2
}

# ---------------------------------------------------------------- what to run

declare -A tiers=()
named=()
for arg in "$@"; do
  case "$arg" in
    host | win32 | e2e | fuzz) tiers[$arg]=1 ;;
    -h | --help) usage ;;
    -*) usage ;;
    *) named+=("$arg") ;;
  esac
done
[ ${#named[@]} -gt 0 ] && tiers[e2e]=1
[ $# -eq 0 ] && tiers=([host]=1 [win32]=1 [e2e]=1 [fuzz]=1)
selected() { [ -n "${tiers[$1]:-}" ]; }

# e2e_script NAME: the path of an end-to-end script named as the user may
# name it; fails for a name that is no script.
e2e_script() {
  local name=$1 path
  for path in "$name" "tests/e2e/$name" "tests/e2e/$name.sh" "tests/e2e/${name}_test.sh"; do
    if [ -f "$path" ] && [[ "$path" == *_test.sh ]]; then
      echo "$path"
      return 0
    fi
  done
  return 1
}

scripts=()
if [ ${#named[@]} -gt 0 ]; then
  for name in "${named[@]}"; do
    script=$(e2e_script "$name") || { echo "test: no end-to-end script $name" >&2; usage; }
    scripts+=("$script")
  done
else
  scripts=(tests/e2e/*_test.sh)
fi

# ---------------------------------------------------------------- counting

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

# junit_results FILE: one line "NAME STATUS OUTPUT_LINES" per test of a
# ctest JUnit report, STATUS 0 when it ran and passed; a test that failed,
# timed out or did not run is 1. Failing tests' output follows their line,
# its last 40 lines indented.
junit_results() {
  python3 - "$1" <<'EOF'
import sys
import xml.etree.ElementTree as tree

for case in tree.parse(sys.argv[1]).getroot().iter("testcase"):
    ok = case.get("status") == "run" and case.find("failure") is None
    print(case.get("name"), 0 if ok else 1)
    if not ok:
        out = (case.findtext("system-out") or "").rstrip().splitlines()[-40:]
        for line in out:
            print("   | " + line)
EOF
}

# run_ctest TIER BUILD_DIR: every test of a build, each counted.
run_ctest() {
  local tier=$1 dir=$2 report name status counted=0 broken=0 line
  echo "== $tier"
  report=$(cd "$dir" && pwd)/ctest-junit.xml
  rm -f "$report"
  (cd "$dir" && ctest --output-on-failure --no-tests=error -j 2 --output-junit "$report" \
    > ctest.log 2>&1)
  status=$?
  tail -n 3 "$dir/ctest.log" | sed 's/^/   /'
  if [ -f "$report" ]; then
    while IFS= read -r line; do
      case "$line" in
        "   | "*) echo "$line"; continue ;;
      esac
      read -r name result <<< "$line"
      record "$tier:$name" "$result"
      counted=$((counted + 1))
      [ "$result" = 0 ] || { broken=$((broken + 1)); echo "   $name: FAILED"; }
    done < <(junit_results "$report")
  fi
  # A run that found no tests, or that failed in a way no test shows, is a
  # failure of the tier.
  if [ "$counted" = 0 ] || { [ "$status" != 0 ] && [ "$broken" = 0 ]; }; then
    echo "   ctest ended with status $status after $counted tests"
    record "$tier:ctest" 1
  fi
}

# The target's unit tests share one private 24-bit display; the graphics
# tests on 16- and 8-bit screens are ctest entries of their own, each with
# its own display (gfx/CMakeLists.txt).
run_win32() {
  source tests/support/wine.sh
  if tw_xvfb_start 1024x768x24; then
    run_ctest "win32 unit" build/win32
    tw_prefix unit && tw_wine_stop
    tw_xvfb_stop
  else
    record "win32 unit:display" 1
  fi
}

# ---------------------------------------------------------------- end to end

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

run_fuzz() {  # run_fuzz RESULTS
  if scripts/fuzz.sh short; then echo "fuzz 0" >> "$1"; else echo "fuzz 1" >> "$1"; fi
}

# Scripts that measure time (they say "# Measures time" at the top) run one
# after the other with the machine to themselves; then the scripts that only
# look at pictures and traces run in two lanes, beside the short fuzzing run
# when it is wanted too.
run_e2e_tier() {
  local results=build/e2e/results.txt timed=() untimed=() script lane lanes=() expected
  mkdir -p build/e2e
  : > "$results"
  for script in "${scripts[@]}"; do
    if grep -q '^# Measures time' "$script"; then timed+=("$script"); else untimed+=("$script"); fi
  done
  if [ ${#timed[@]} -gt 0 ]; then
    echo "== end-to-end, scripts that measure time"
    for script in "${timed[@]}"; do run_e2e "$script" "$results"; done
  fi
  expected=$((${#timed[@]} + ${#untimed[@]}))
  if selected fuzz; then
    echo "== end-to-end, the others in two lanes beside the fuzzing (short)"
    expected=$((expected + 1))
  elif [ ${#untimed[@]} -gt 0 ]; then
    echo "== end-to-end, the others in two lanes"
  fi
  for lane in 0 1; do
    (
      for ((i = lane; i < ${#untimed[@]}; i += 2)); do run_e2e "${untimed[i]}" "$results"; done
    ) &
    lanes+=($!)
  done
  selected fuzz && run_fuzz "$results"
  wait "${lanes[@]}"
  while read -r name status; do record "$name" "$status"; done < "$results"
  # Every script and the fuzzing run said how they ended.
  [ "$(wc -l < "$results")" = "$expected" ] || record "e2e:results" 1
}

run_fuzz_tier() {
  local results=build/fuzz-results.txt
  mkdir -p build
  echo "== fuzzing (short)"
  : > "$results"
  run_fuzz "$results"
  while read -r name status; do record "$name" "$status"; done < "$results"
  [ "$(wc -l < "$results")" = 1 ] || record "fuzz:results" 1
}

# A whole run writes about 3 GB under build/ (the builds, the Wine prefixes,
# the end-to-end pictures). A full disk fails scripts in ways that say
# little, so the run says so before it starts and again when something failed.
warn_low_disk() {
  local free_mb
  mkdir -p build
  free_mb=$(df --output=avail -m build 2>/dev/null | tail -n 1 | tr -d ' ')
  [[ "$free_mb" =~ ^[0-9]+$ ]] && [ "$free_mb" -lt 3072 ] &&
    echo "test: only $free_mb MB free on the disk of build/; a whole run needs about 3 GB"
  return 0
}

# ---------------------------------------------------------------- the tiers

warn_low_disk
selected host && run_ctest "host unit" build/host
selected win32 && run_win32
if selected e2e; then
  run_e2e_tier
elif selected fuzz; then
  run_fuzz_tier
fi

if [ ${#failures[@]} -gt 0 ]; then
  printf 'failed: %s\n' "${failures[@]}"
  warn_low_disk
fi
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
