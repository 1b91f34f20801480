#!/usr/bin/env bash
# The saver and the machine's power, under Wine, which never sends power
# messages itself: tests/support/post_power.exe asks the trace build to send
# its own window the display-state message as the platform does
# (WM_POWERBROADCAST with a POWERBROADCAST_SETTING, in the saver's process),
# or a suspend or resume. The wave device is recorded (tests/support/sound.sh).
#  - display off: no tick runs (the trace stops), the screen stays the same
#    with creatures on it, and the wave device is closed (the recording stops
#    growing); a power message is no input: the saver keeps running;
#  - display on: the scene moves again and the sound is recorded again, going
#    on in its loop from where it was paused;
#  - "dimmed" counts as on; suspend closes the device, resume opens it;
#  - twenty off/on cycles leave no handle or GDI object behind.
set -u
source "$(dirname "$0")/../support/scene.sh"
source "$(dirname "$0")/../support/sound.sh"
tw_begin scene_power 640x480x24
ts_stage_traced traced post_power.exe proc_counts.exe
capture=$TW_WORK/capture
tw_sound_capture "$capture" || tw_fail "no recording"
ts_config_reset
ts_set FISHES dword 0x1FFFF
ts_set MUTE dword 0
tw_sound_driver alsa
tw_reg_apply
raw=$capture/cap_22050_1_8_U8.raw

power() { (cd "$TW_STAGE" && WINEDEBUG=-all wine post_power.exe "$1" 2>/dev/null); }
last_tick() { tw_log | sed -n 's/^T \([0-9]*\) .*/\1/p' | tail -n 1; }
size_of() { stat -c %s "$raw" 2>/dev/null || echo 0; }
counts() {
  (cd "$TW_STAGE" && WINEDEBUG=-all wine proc_counts.exe "$TW_SAVER_NAME" 2>/dev/null | tr -d '\r')
}

ts_traced_start 640 480 11 || tw_fail "saver did not come up"
tw_log_wait '^T 40 ' 30 || tw_fail "the scene did not tick"
tw_expect "sound recorded before the display goes off" [ "$(size_of)" -gt 0 ]

# --- display off
power off
tw_log_wait 'display off; frame loop stopped' 10 || tw_fail "no display-off line"
tw_log_wait 'wave device closed' 10 || tw_fail "the device was not closed"
sleep 1
tick_off=$(last_tick)
size_off=$(size_of)
tw_screenshot "$TW_WORK/off1.png"
sleep 1.5
tw_screenshot "$TW_WORK/off2.png"
tw_expect_eq "display off: no tick runs" "$(last_tick)" "$tick_off"
tw_expect_eq "display off: the recording stops growing (no device open)" "$(size_of)" "$size_off"
tw_expect_eq "display off: the screen stays as it was" "$(ts_differing "$TW_WORK/off1.png" "$TW_WORK/off2.png")" 0
tw_expect "a power message is no input: the saver runs on" tw_running
paused=$(tw_log | sed -n 's/^Tidewater: sound paused at frame \([0-9]*\).*/\1/p' | tail -n 1)

# --- display on
power on
tw_log_wait 'display on; frame loop going on' 10 || tw_fail "no display-on line"
tw_log_wait "^T $((tick_off + 3)) " 5 || tw_fail "the scene did not tick again"
tw_screenshot "$TW_WORK/on1.png"
sleep 0.5
tw_screenshot "$TW_WORK/on2.png"
tw_expect "display on: the scene moves again" \
  [ "$(ts_differing "$TW_WORK/on1.png" "$TW_WORK/on2.png")" -gt 0 ]
sleep 1.5
tw_expect "display on: the sound is recorded again" [ "$(size_of)" -gt 8000 ]
resumed=$(tw_log | sed -n 's/^Tidewater: sound resumed at frame \([0-9]*\).*/\1/p' | tail -n 1)
tw_expect_eq "the loop goes on from the frame where it was paused" "$resumed" "$paused"

# The recording after the reopening: the primed buffers, a short fade in,
# then the loop from the paused frame, byte for byte (looked for near the
# start, since the device may play a buffer of silence before the voice starts).
tw_library_sounds
sound=$(tw_log | sed -n 's/^Tidewater: ambient sound \([0-9]*\)$/\1/p' | head -n 1)
if [ -n "$paused" ] && [ -n "$sound" ]; then
  verdict=$(python3 - "$raw" "$paused" "$TW_WORK/$sound.wav" "$TW_TOP/tests/support" <<'PY'
import sys
sys.path.insert(0, sys.argv[4])
from sound_match import read_wave, to_output
raw = open(sys.argv[1], 'rb').read()
frame = int(sys.argv[2])
sound, exact = to_output(*read_wave(sys.argv[3]))
# Past the 100 ms fade (2205 frames); other rates convert only approximately.
want = bytes(sound[(frame + 2255 + i) % len(sound)] for i in range(4000))
# Near the start: the primed buffers, perhaps a buffer of silence, the fade.
at = raw.find(want)
print('same' if not exact or 0 <= at < 5 * 992 + 3 * 992 + 2255 else 'different at %d' % at)
PY
)
  tw_expect_eq "after the reopening the recording is the loop from the paused frame" "$verdict" same
else
  tw_fail "no paused frame or sound in the log"
fi

# --- dimmed is on; suspend and resume
power dim
sleep 0.5
tw_expect_eq "a dimmed display is still on: no second resume" \
  "$(tw_log_count 'display on; frame loop going on')" 1
power suspend
tw_log_wait 'wave device closed' 10
sleep 1
size_suspended=$(size_of)
sleep 1
tw_expect_eq "suspend: the device is closed" "$(size_of)" "$size_suspended"
power resume
tw_log_wait 'sound resumed' 10
sleep 1
tw_expect "resume: the sound plays again" [ "$(size_of)" -gt 0 ]

# --- twenty cycles leave nothing behind
read -r _ handles0 _ gdi0 <<< "$(counts)"
for i in $(seq 1 20); do
  power off
  sleep 0.4
  power on
  sleep 0.4
done
sleep 1
read -r _ handles1 _ gdi1 <<< "$(counts)"
echo "  handles $handles0 -> $handles1, GDI objects $gdi0 -> $gdi1"
tw_expect "twenty off/on cycles: no handle left behind" [ "$((handles1 - handles0))" -le 2 ]
tw_expect "twenty off/on cycles: no GDI object left behind" [ "$((gdi1 - gdi0))" -le 2 ]
tw_expect "still running after the cycles" tw_running
ts_scene_stop
tw_expect_eq "saver exits 0 after a key" "$TW_EXIT" 0
tw_finish
