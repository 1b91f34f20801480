#!/usr/bin/env bash
# Runs end-to-end scripts several times each and prints how many runs of
# each passed: the tool that shows a script is steady.
#   scripts/repeat-tests.sh [--busy] N [SCRIPT...]
# A SCRIPT is a path or a name (scene_edge); with none, every
# tests/e2e/*_test.sh. --busy keeps one core busy
# with an unrelated process for the whole time. Logs go to
# build/e2e/repeat/NAME-K.log. Exits non-zero when any run failed.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
busy=
if [ "${1:-}" = --busy ]; then
  busy=1
  shift
fi
count=${1:-}
[[ "$count" =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 [--busy] N [SCRIPT...]" >&2; exit 2; }
shift
scripts=()
# A script by its path or by its name, as scripts/test.sh takes it
# ("scene_edge" is tests/e2e/scene_edge_test.sh).
for script in "$@"; do
  [ -f "$script" ] || script=tests/e2e/${script%_test.sh}_test.sh
  [ -f "$script" ] || { echo "$0: no end-to-end script $script" >&2; exit 2; }
  scripts+=("$script")
done
[ ${#scripts[@]} -gt 0 ] || scripts=(tests/e2e/*_test.sh)

hog=
if [ -n "$busy" ]; then
  sha256sum /dev/zero &
  hog=$!
  trap 'kill "$hog" 2>/dev/null' EXIT
fi

logs=build/e2e/repeat
mkdir -p "$logs"
status=0
for script in "${scripts[@]}"; do
  name=$(basename "$script" .sh)
  passed=0
  for k in $(seq 1 "$count"); do
    started=$SECONDS
    if timeout 900 bash "$script" > "$logs/$name-$k.log" 2>&1; then
      passed=$((passed + 1))
      echo "   $name run $k: ok ($((SECONDS - started)) s)"
    else
      echo "   $name run $k: FAILED ($((SECONDS - started)) s, $logs/$name-$k.log)"
      grep '^FAIL' "$logs/$name-$k.log" | head -n 5 | sed 's/^/   | /'
    fi
  done
  echo "$name: $passed of $count passed${busy:+ (one core busy)}"
  [ "$passed" = "$count" ] || status=1
done
exit $status
