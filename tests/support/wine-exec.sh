#!/usr/bin/env bash
# Runs one target test program under Wine in the unit-test prefix. Uses the
# caller's DISPLAY when set, otherwise a private Xvfb for the run.
set -u
source "$(dirname "$0")/wine.sh"
tw_prefix "${TW_UNIT_PREFIX:-unit}"
own_display=0
if [ -z "${DISPLAY:-}" ]; then
  tw_xvfb_start 1024x768x24 || exit 1
  own_display=1
fi
wine "$@"
rc=$?
if [ $own_display = 1 ]; then
  tw_wine_stop
  tw_xvfb_stop
fi
exit $rc
