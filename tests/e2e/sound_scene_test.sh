#!/usr/bin/env bash
# Measures time: runs beside no other end-to-end script.
# The saver's ambient sound under Wine, the wave device recorded through an
# ALSA file PCM (tests/support/sound.sh) whose clock keeps real time (checked
# first: tests/support/alsa_clock_check.c):
#  - "MUTE" 0: the device is opened once, for 22050 Hz, 8 bits, mono, and
#    plays one of the library's sixteen sounds, converted as the format chain
#    converts it, from its first frame, looping without a break (checked byte
#    for byte where the conversion is exact), recorded at real time so that
#    silence in it means the saver let its queue of buffers run dry;
#  - "MUTE" 1 and the preview pane open no device;
#  - with Wine's audio driver off (no wave device) the saver runs silently and
#    shows no message;
#  - start and dismiss with sound, 20 times: each run ends with 0 and leaves no
#    process behind, no later after the key than the muted saver (whose own
#    exit under Wine takes about 2 s, measured first) plus half a second.
set -u
source "$(dirname "$0")/../support/scene.sh"
source "$(dirname "$0")/../support/sound.sh"
tw_begin sound_scene 640x480x24
tw_stage plain preview_host.exe
capture=$TW_WORK/capture
tw_expect "the recording's clock plays in real time" tw_alsa_clock_check
tw_sound_capture "$capture" paced || tw_fail "no paced recording"
ts_config_reset
ts_set FISHES dword 0
ts_set MUTE dword 0
tw_sound_driver alsa
tw_reg_apply

# The sixteen sounds, as stored in the library.
tw_library_sounds
tw_expect_eq "the library's sixteen sounds extracted" "${#sounds[@]}" 16

captures() { ls "$capture" | grep -c '^cap_' || true; }

# sound_run SECONDS: the saver full screen for that long, then a key.
sound_run() {
  rm -f "$capture"/cap_*.raw
  if ! ts_scene_start 640 480; then
    tw_fail "saver did not come up"
    tw_kill
    return 1
  fi
  sleep "$1"
  ts_scene_stop
  tw_expect_eq "saver exits 0 after the key" "$TW_EXIT" 0
}

# --- the ambient loop, long enough to pass the end of the longest sound (16 s)
sound_run 17
tw_expect_eq "one recording, 22050 Hz 8-bit mono" "$(ls "$capture" | grep '^cap_' | tr '\n' ' ')" \
  "cap_22050_1_8_U8.raw "
raw=$capture/cap_22050_1_8_U8.raw
if [ -f "$raw" ]; then
  match=$(python3 "$TW_TOP/tests/support/sound_match.py" "$raw" "${sounds[@]}")
  echo "  $match"
  read -r _ name _ exact _ start rest <<< "$match"
  tw_expect "the recording holds one of the library's sounds" [ "$name" != none ]
  if [ "$exact" = 1 ]; then
    read -r _ lead _ matched _ length _ gaps _ mismatches <<< "$rest"
    tw_expect_eq "sound $name: nothing played before its first frame" "$lead" 0
    tw_expect "sound $name from its first frame, byte for byte" [ "$matched" -ge 4000 ]
    tw_expect "sound $name looped across its end without a break" \
      [ "$matched" -gt "$((length + 2000))" ]
    tw_expect_eq "sound $name: nothing unlike it until the recording ends" "$mismatches" 0
    tw_expect_eq "sound $name: no silence slipped in" "$gaps" 0
  fi
fi

# --- muted, and the preview pane: no device opened
ts_set MUTE dword 1
tw_reg_apply
sound_run 1
tw_expect_eq "MUTE 1 opens no wave device" "$(captures)" 0
ts_set MUTE dword 0
tw_reg_apply
if tw_preview_host 200 150 3; then
  tw_start /p "$TW_HOST_WINDOW"
  preview_pid=$TW_PID
  sleep 3
  tw_expect "preview still running" tw_running "$preview_pid"
  tw_kill "$preview_pid"
  tw_kill "$TW_HOST_PID"
  tw_expect_eq "the preview opens no wave device" "$(captures)" 0
else
  tw_fail "preview host did not start"
fi

# --- no wave device at all: silent, no message
tw_stop_all
tw_sound_driver off
tw_reg_apply
sound_run 2
tw_expect_eq "no wave device: nothing recorded" "$(captures)" 0
tw_expect_eq "no wave device: no message box" "$(xdotool search --name '^Error$' 2>/dev/null | wc -l)" 0
tw_stop_all
tw_sound_driver alsa
tw_reg_apply

# --- start and dismiss, muted for the measure, then with sound 20 times
# dismiss_ms: starts the saver, waits until it is up, presses a key and prints
# the milliseconds until it ended ("none" when it did not come up, "slow"
# when it had not ended after 10 s); TW_EXIT is its exit code.
dismiss_ms() {
  tw_start /s
  if ! tw_saver_ready 20; then
    tw_kill
    echo none
    return
  fi
  sleep 0.5
  local t0
  t0=$(date +%s%N)
  tw_key a
  if ! tw_wait_exit 10; then
    tw_kill
    echo slow
    return
  fi
  echo $((($(date +%s%N) - t0) / 1000000))
}
ts_set MUTE dword 1
tw_reg_apply
muted=()
for run in 1 2 3; do muted+=("$(dismiss_ms)"); done
base=$(printf '%s\n' "${muted[@]}" | sort -n | sed -n 2p)
echo "  muted saver ends ${muted[*]} ms after the key"
tw_expect "muted saver ends after a key" [ "$base" -gt 0 ] 2>/dev/null
ts_set MUTE dword 0
tw_reg_apply
late=0
times=()
for run in $(seq 1 20); do
  ms=$(dismiss_ms)
  times+=("$ms")
  case "$ms" in
    none|slow) late=$((late + 1)) ;;
    *) [ "$ms" -le $((base + 500)) ] || late=$((late + 1))
       [ "$TW_EXIT" = 0 ] || tw_fail "run $run: exit $TW_EXIT" ;;
  esac
done
echo "  with sound: ${times[*]} ms"
tw_expect_eq "20 runs with sound each ended within ${base} + 500 ms of the key" "$late" 0
tw_expect_eq "no saver left behind" "$(pgrep -f "$TW_SCR" | wc -l)" 0
tw_finish
