#!/usr/bin/env bash
# Measures time: runs beside no other end-to-end script.
# The ambient sound's level and schedule, recorded from the wave device at
# real time (tests/support/sound.sh), with the trace build's short minute
# (TW_TRACE_MINUTE_MS) so that minutes pass in seconds:
#  - "VOLUME" 50: the recording is one of the library's sounds at the
#    mixer's half level, sample for sample (8 bits: s x 16383 >> 16);
#    "VOLUME" 0: no wave device is opened;
#  - "SOUNDMINUTES" 1: the sound fades to silence after the minute, the device
#    closes and the saver goes on drawing;
#  - "SOUNDCHANGE" 1: over a few minutes the recording holds at least three of
#    the sixteen sounds, each join a crossfade: no run of silence and no step
#    larger than the sounds' own;
#  - bad values (a string, out of range) play as the defaults.
set -u
source "$(dirname "$0")/../support/scene.sh"
source "$(dirname "$0")/../support/sound.sh"
tw_begin sound_schedule 640x480x24
ts_stage_traced traced
capture=$TW_WORK/capture
tw_sound_capture "$capture" paced || tw_fail "no paced recording"
raw=$capture/cap_22050_1_8_U8.raw
tw_library_sounds
tw_expect_eq "the library's sixteen sounds extracted" "${#sounds[@]}" 16
minute_ms=4000

base_config() {
  ts_config_reset
  ts_set FISHES dword 0
  ts_set MUTE dword 0
  tw_sound_driver alsa
}

# scheduled_run SECONDS: the traced saver for that long with the short
# minute, then a key.
scheduled_run() {
  tw_reg_apply
  rm -f "$capture"/cap_*.raw
  TW_TRACE_MINUTE_MS=$minute_ms ts_traced_start 640 480 5 || tw_fail "saver did not come up"
  sleep "$1"
  ts_scene_stop
  tw_expect_eq "saver exits 0 after the key" "$TW_EXIT" 0
}

# analyse MODE: tests/support/sound_schedule.py on the recording and the sounds.
analyse() { python3 "$TW_TOP/tests/support/sound_schedule.py" "$1" "$raw" "${sounds[@]}"; }

# --- volume 50 and 0
base_config
ts_set VOLUME dword 50
scheduled_run 4
tw_expect_eq "VOLUME 50: a sound at the mixer's half level, sample for sample" "$(analyse half)" ok
ts_set VOLUME dword 0
scheduled_run 2
tw_expect_eq "VOLUME 0: no wave device opened" "$(ls "$capture" | grep -c '^cap_' || true)" 0
# Bad values play as the default: full level.
ts_set VOLUME string "50"
scheduled_run 3
tw_expect_eq "VOLUME as a string: full level" "$(analyse full)" ok
ts_set VOLUME dword 101
scheduled_run 3
tw_expect_eq "VOLUME 101: full level" "$(analyse full)" ok

# --- the sound fades out after a minute; the scene goes on
base_config
ts_set SOUNDMINUTES dword 1
scheduled_run 9
tw_expect "SOUNDMINUTES 1: the device closed after the fade" \
  [ "$(tw_log_count 'faded out; wave device closed')" = 1 ]
tw_expect_eq "SOUNDMINUTES 1: the recording fades to silence" "$(analyse fades)" ok
closed_tick=$(tw_log | grep -n 'faded out' | head -n 1 | cut -d: -f1)
later_ticks=$(tw_log | tail -n +"${closed_tick:-1}" | grep -c '^T ' || true)
tw_expect "the saver goes on drawing after the sound ends" [ "$later_ticks" -gt 20 ]
ts_set SOUNDMINUTES dword 0xFFFFFFFF
scheduled_run 6
tw_expect_eq "SOUNDMINUTES out of range: the sound goes on" "$(tw_log_count 'fades out')" 0

# --- a new sound every minute, crossfaded
base_config
ts_set SOUNDCHANGE dword 1
scheduled_run 15
tw_expect "SOUNDCHANGE 1: three changes logged" [ "$(tw_log_count 'crossfades into')" -ge 3 ]
tw_expect_eq "SOUNDCHANGE 1: three sounds or more, each join a crossfade without a gap or a step" \
  "$(analyse changes)" ok
tw_finish
