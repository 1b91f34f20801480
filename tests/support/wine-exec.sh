#!/usr/bin/env bash
# Runs one target test program under Wine in the unit-test prefix
# (TW_UNIT_PREFIX, default "unit"). Uses the caller's DISPLAY when set.
# Otherwise the run gets a private Xvfb and ends the prefix's programs
# afterwards; runs in the same prefix then take turns (ctest -j), so that
# no run ends another one's program.
set -u
source "$(dirname "$0")/wine.sh"
name=${TW_UNIT_PREFIX:-unit}
tw_prefix "$name" || exit 1
if [ -n "${DISPLAY:-}" ]; then
  exec wine "$@"
fi

exec 9>"$TW_WINE_ROOT/.$name.run"
flock -x 9
tw_xvfb_start 1024x768x24 9>&- || exit 1
wine "$@" 9>&-
rc=$?
tw_wine_stop
tw_xvfb_stop
exit $rc
