#!/usr/bin/env bash
# Runs the saver full screen under Wine, in its own prefix (build/wine/run).
#
# With DISPLAY set it runs on your display, its sound on your sound device,
# until you move the mouse or press a key. Without one it runs on a private
# Xvfb, saves a screenshot as build/run/tidewater.png and a few frames after
# it, an animated build/run/tidewater.gif, closes the saver by a key and
# saves the sound it played, recorded from the wave device at real time, as
# build/run/tidewater.wav.
#
#   scripts/run.sh [WxHxD]     (private display size, default 1024x768x24)
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/tests/support/scene.sh"
source "$top/tests/support/sound.sh"

saver=$TW_BUILD/bin/$TW_SAVER_NAME
if [ ! -f "$saver" ]; then
  echo "run: $saver is missing; build it with 'make win32'" >&2
  exit 1
fi
TW_WORK=$top/build/run
mkdir -p "$TW_WORK"
TW_SESSION=run
TW_SCR=$saver
trap tw_cleanup EXIT

own_display=0
if [ -z "${DISPLAY:-}" ]; then
  tw_xvfb_start "${1:-1024x768x24}" || exit 1
  own_display=1
fi
tw_prefix run || exit 1
capture=$TW_WORK/capture
wav=$TW_WORK/tidewater.wav
if [ "$own_display" = 1 ]; then
  tw_sound_capture "$capture" paced || exit 1
  rm -f "$wav"
  tw_sound_driver alsa
else
  # Wine chooses the driver of your sound device.
  tw_reg_unset HKCU 'Software\Wine\Drivers' Audio
fi

# A first run gets what the installer gives a new user (every species over a
# random stock background, filling the screen) and a line of text in bold
# 30-pixel Tahoma (Wine ships a font of that name); after that the prefix
# keeps whatever the settings program wrote.
if [ -z "$(tw_reg_query HKCU "$TW_CONFIG_KEY" FISHES)" ]; then
  tw_first_run
  ts_set CUSTOMTEXT string "Welcome to Tidewater"
  ts_set FONTCOLOR dword 0x0000D7FF
  ts_set FONT string "$(ts_font_hex -30 700 0 Tahoma)"
fi
tw_reg_apply

tw_start /s
if [ "$own_display" = 0 ]; then
  echo "run: the saver runs on $DISPLAY; move the mouse or press a key to end it"
  tw_wait_exit 86400
  echo "run: the saver ended with $TW_EXIT"
  exit 0
fi

if ! tw_saver_ready 60; then
  echo "run: the saver did not come up; its log:" >&2
  tw_log >&2
  exit 1
fi
sleep 3
shot=$TW_WORK/tidewater.png
tw_screenshot "$shot"
frames=()
for i in $(seq -w 1 12); do
  sleep 0.3
  tw_screenshot "$TW_WORK/frame-$i.png" && frames+=("$TW_WORK/frame-$i.png")
done
gif=$TW_WORK/tidewater.gif
convert -delay 30 -loop 0 "${frames[@]}" -resize 50% "$gif" 2>/dev/null || gif=
tw_key Escape
tw_wait_exit 20 || { echo "run: the saver did not close on a key" >&2; exit 1; }
echo "run: screenshot of the running saver: $shot (the saver ended with $TW_EXIT)"
[ -n "$gif" ] && echo "run: frames: $TW_WORK/frame-*.png, animation: $gif"
raw=$(ls "$capture"/cap_*.raw 2>/dev/null | head -n 1)
if [ -n "$raw" ] && format=$(python3 "$top/tests/support/sound_wave.py" "$raw" "$wav"); then
  echo "run: the sound it played ($format): $wav"
else
  echo "run: the saver played no sound (MUTE set in its settings?)"
fi
tw_log | sed 's/^/run: log: /'
