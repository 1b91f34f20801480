#!/usr/bin/env bash
# Runs one target test program that plays sound: under Wine in its own
# prefix (TW_UNIT_PREFIX, default "sound") with the ALSA driver, the wave-out
# device recorded into build/wine/<prefix>-capture (TW_SOUND_CAPTURE, which the
# program reads), otherwise as wine-exec.sh runs it.
set -u
here=$(dirname "$0")
source "$here/wine.sh"
source "$here/sound.sh"
export TW_UNIT_PREFIX=${TW_UNIT_PREFIX:-sound}
tw_prefix "$TW_UNIT_PREFIX"
(
  flock -x 9
  if [ ! -f "$WINEPREFIX/.tw-sound-ready" ]; then
    tw_sound_driver alsa
    tw_reg_apply && wineserver -w && touch "$WINEPREFIX/.tw-sound-ready"
  fi
) 9>"$TW_WINE_ROOT/.$TW_UNIT_PREFIX.run"
tw_sound_capture "$TW_WINE_ROOT/$TW_UNIT_PREFIX-capture"
exec "$here/wine-exec.sh" "$@"
