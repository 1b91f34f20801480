#!/usr/bin/env bash
# The soak: the saver full screen under Wine with every species, a line of
# text and sound, for TW_SOAK_MINUTES minutes (default 30), on a private
# display. Once a minute it samples the saver's resident memory (VmRSS of its
# Wine process), its kernel handles and its GDI objects (proc_counts.exe);
# then it closes the saver by a key and checks the recording of its sound.
#
# Fails when the saver stops early or does not end with 0 on the key, when
# from the first sample to the last the resident memory grew by more than
# 4 MiB or the handles or GDI objects by more than 5, or when the recording
# is not one of the library's sounds looped without a gap (recorded at real
# time, tests/support/sound.sh). Prints every sample, and the first and the
# last. Work files: build/e2e/soak.
#
#   scripts/soak.sh        (make soak)
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/tests/support/scene.sh"
source "$top/tests/support/sound.sh"

minutes=${TW_SOAK_MINUTES:-30}
[[ "$minutes" =~ ^[1-9][0-9]*$ ]] || { echo "soak: TW_SOAK_MINUTES must be a whole number" >&2; exit 2; }
RSS_GROWTH_KB=4096
COUNT_GROWTH=5
for f in "$TW_BUILD/bin/$TW_SAVER_NAME" "$TW_BUILD/tests/support/proc_counts.exe"; do
  [ -f "$f" ] || { echo "soak: $f is missing; build it with 'make win32'" >&2; exit 1; }
done

tw_begin soak 1024x768x24
tw_stage plain proc_counts.exe
capture=$TW_WORK/capture
tw_sound_capture "$capture" paced || exit 1
raw=$capture/cap_22050_1_8_U8.raw
ts_config_reset
ts_set FISHES dword 0x1FFFF
ts_set DISPLAY dword 9
ts_set MUTE dword 0
ts_set CUSTOMTEXT string "Tidewater soak"
ts_set FONTCOLOR dword 0x0000D7FF
ts_set FONT string "$(ts_font_hex -30 700 0 Tahoma)"
tw_sound_driver alsa
tw_reg_apply

tw_library_sounds

# sound_found: sound_match.py's line for the recording so far.
sound_found() {
  python3 "$TW_TOP/tests/support/sound_match.py" "$raw" "${sounds[@]}" 2>/dev/null
}

# soak_start: the saver, started again (at most 5 times) until the sound it
# chose is one the recording can be compared with byte for byte (two of the
# sixteen are resampled); false when that did not happen.
soak_start() {
  local try match
  for try in 1 2 3 4 5; do
    ts_scene_start 1024 768 || return 1
    sleep 3
    match=$(sound_found)
    [[ "$match" == *" exact 1 "* ]] && return 0
    echo "soak: ${match:-no recording}: starting again for a sound without resampling"
    ts_scene_stop
  done
  return 1
}

# sample: "RSS_KB HANDLES GDI" of the running saver; false when it is gone.
sample() {
  local rss counts handles gdi
  rss=$(awk '$1 == "VmRSS:" { print $2 }' "/proc/$saver/status" 2>/dev/null)
  [ -n "$rss" ] || return 1
  counts=$(cd "$TW_STAGE" && WINEDEBUG=-all wine proc_counts.exe "$TW_SAVER_NAME" 2>/dev/null |
    tr -d '\r')
  read -r _ handles _ gdi <<< "$counts"
  echo "$rss ${handles:-none} ${gdi:-none}"
}

# growth NAME FIRST LAST LIMIT: LAST is at most LIMIT above FIRST (counts of
# a running saver, never 0).
growth() {
  if [[ "$2" =~ ^[1-9][0-9]*$ && "$3" =~ ^[1-9][0-9]*$ ]]; then
    tw_expect_range "$1 grew by at most $4" "$(($3 - $2))" -1000000 "$4"
  else
    tw_fail "$1: no count (first '$2', last '$3')"
  fi
}

if ! soak_start; then
  tw_fail "saver did not come up playing a sound without resampling"
  tw_finish
fi
saver=$TW_PID
echo "soak: $minutes minutes; every minute: resident kB, handles, GDI objects"
samples=()
for minute in $(seq 1 "$minutes"); do
  sleep 60
  if ! now=$(sample); then
    tw_fail "saver still running at minute $minute"
    break
  fi
  samples+=("$now")
  echo "  $minute: $now"
done
ts_scene_stop
tw_expect_eq "saver exits 0 after the key" "$TW_EXIT" 0

if [ ${#samples[@]} -ge 1 ]; then
  read -r rss0 handles0 gdi0 <<< "${samples[0]}"
  read -r rss1 handles1 gdi1 <<< "${samples[-1]}"
  echo "soak: first: resident $rss0 kB, $handles0 handles, $gdi0 GDI objects"
  echo "soak: last:  resident $rss1 kB, $handles1 handles, $gdi1 GDI objects"
  growth "resident memory (kB)" "$rss0" "$rss1" "$RSS_GROWTH_KB"
  growth "handles" "$handles0" "$handles1" "$COUNT_GROWTH"
  growth "GDI objects" "$gdi0" "$gdi1" "$COUNT_GROWTH"
fi

if [ -f "$raw" ]; then
  match=$(sound_found)
  echo "  $match"
  read -r _ name _ exact _ start _ lead _ matched _ length _ gaps _ mismatches <<< "$match"
  tw_expect_eq "the recording holds sound $name byte for byte" "$exact" 1
  tw_expect_eq "sound $name: no silence slipped in" "${gaps:-}" 0
  tw_expect_eq "sound $name: nothing unlike it until the recording ends" "${mismatches:-}" 0
else
  tw_fail "no recording of 22050 Hz 8-bit mono sound"
fi
tw_finish
