#!/usr/bin/env bash
# Runs one target test program under Wine in a unit-test prefix.
#   wine-exec.sh PROGRAM [ARG...]
#   wine-exec.sh --screen WxHxD PROGRAM [ARG...]
# Without --screen: the prefix "unit" (TW_UNIT_PREFIX), the caller's DISPLAY
# when set. Otherwise, and always with --screen, the run gets a private Xvfb
# (1024x768x24, or the size and depth given) and ends the prefix's programs
# afterwards; runs in the same prefix then take turns (ctest -j), so that no
# run ends another one's program. A screen of depth D uses the prefix
# "unit-D" (a prefix stays bound to the display it started on), so that runs
# of other depths go on beside it.
set -u
source "$(dirname "$0")/wine.sh"
screen=
if [ "${1:-}" = --screen ]; then
  [[ "${2:-}" =~ ^[0-9]+x[0-9]+x(8|16|24)$ ]] || {
    echo "usage: $0 [--screen WxHxD] PROGRAM [ARG...]" >&2; exit 2; }
  screen=$2
  shift 2
fi
if [ -n "$screen" ]; then
  name=${TW_UNIT_PREFIX:-unit-${screen##*x}}
else
  name=${TW_UNIT_PREFIX:-unit}
fi
tw_prefix "$name" || exit 1
if [ -z "$screen" ] && [ -n "${DISPLAY:-}" ]; then
  exec wine "$@"
fi

exec 9>"$TW_WINE_ROOT/.$name.run"
flock -x 9
tw_xvfb_start "${screen:-1024x768x24}" 9>&- || exit 1
wine "$@" 9>&-
rc=$?
tw_wine_stop
tw_xvfb_stop
exit $rc
