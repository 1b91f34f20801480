#!/usr/bin/env bash
# The soak: the saver full screen under Wine with every species, a line of
# text, the clock with the date ("CLOCK" 2) and a sound that changes every
# minute ("SOUNDCHANGE" 1), for TW_SOAK_MINUTES minutes (default 30), on a
# private display. It runs the trace build of the saver at the saver's own
# 80 ms tick, since only that build takes the test's power message
# (tests/support/post_power.exe sends its window the display-state message as
# the platform does). The display goes off for OFF_SECONDS and on again
# every five minutes (every min(5, minutes / 2) minutes in a shorter soak),
# half a minute away from the sound's changes. Once a minute it samples the
# saver's resident memory (VmRSS of its Wine process), its kernel handles and
# its GDI objects (proc_counts.exe); then it closes the saver by a key and
# checks the recordings of its sound.
#
# Fails when the saver stops early or does not end with 0 on the key, when a
# display off does not stop its frame loop and close its wave device or a
# display on does not bring both back, when from the first sample to the
# last the resident memory grew by more than 4 MiB or the handles or GDI
# objects by more than 5, or when the recordings (recorded at real time,
# tests/support/sound.sh; one stretch from each opening of the device to its
# closing) are not the library's sounds the log names, in order, each
# stretch without a gap and each change a crossfade
# (tests/support/sound_stretches.py). Prints every sample, and the first and
# the last. Work files: build/e2e/soak.
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
OFF_SECONDS=15
# The display goes off every this many seconds, at half past the minute (the
# sound changes on the minute of the saver's start).
off_every=$(( (minutes / 2 < 5 ? (minutes / 2 > 0 ? minutes / 2 : 1) : 5) * 60 ))
for f in "$TS_TRACE_SAVER" "$TW_BUILD/tests/support/proc_counts.exe" \
         "$TW_BUILD/tests/support/post_power.exe"; do
  [ -f "$f" ] || { echo "soak: $f is missing; build it with 'make win32'" >&2; exit 1; }
done

tw_begin soak 1024x768x24
ts_stage_traced plain proc_counts.exe post_power.exe
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
ts_set CLOCK dword 2
ts_set SOUNDCHANGE dword 1
tw_sound_driver alsa
tw_reg_apply

tw_library_sounds

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

# The trace build's log grows by every tick's lines: the saver's own lines
# are looked for in what it wrote since a given size only.
log_size() { stat -c %s "$TW_LOG"; }
# said_since SIZE TEXT SECONDS: the log has a line with TEXT past SIZE bytes
# within that many seconds.
said_since() {
  local deadline=$((SECONDS + $3))
  until tail -c +$(($1 + 1)) "$TW_LOG" | grep -a -q -F "$2"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.2
  done
}
power() { (cd "$TW_STAGE" && WINEDEBUG=-all wine post_power.exe "$1" 2>/dev/null); }

# display_cycle N: the display off (the stretch of recording the device made
# until it closed kept as stretch-N.raw), OFF_SECONDS later on again; says
# what went wrong and fails when the saver did not stop its frame loop and
# close its device, or did not bring both back.
display_cycle() {
  local at ok=0
  at=$(log_size)
  power off
  said_since "$at" 'display off; frame loop stopped' 10 && said_since "$at" 'wave device closed' 10 ||
    { echo "soak: display off $1: the frame loop went on or the device stayed open"; ok=1; }
  cp "$raw" "$TW_WORK/stretch-$1.raw" 2>/dev/null
  sleep "$OFF_SECONDS"
  at=$(log_size)
  power on
  said_since "$at" 'display on; frame loop going on' 10 && said_since "$at" 'sound resumed' 10 &&
    said_since "$at" 'OutputDebugStringA "T ' 5 ||
    { echo "soak: display on $1: the frame loop or the sound did not come back"; ok=1; }
  return $ok
}

# sleep_until S: until S seconds after the soak's start.
sleep_until() {
  local left=$((start + $1 - SECONDS))
  [ "$left" -le 0 ] || sleep "$left"
}

seed=$((RANDOM + 1))
if ! TS_TRACE_TICK_MS=80 ts_traced_start 1024 768 "$seed" || ! ts_wait_drawn 20; then
  tw_fail "saver did not come up"
  tw_finish
fi
saver=$TW_PID
tw_expect "the clock is on the screen (traced)" said_since 0 ' clock ' 5
echo "soak: $minutes minutes (seed $seed); display off for $OFF_SECONDS s every $((off_every / 60)) minutes;"
echo "  every minute: resident kB, handles, GDI objects"
samples=()
cycles=0
handled=0
start=$SECONDS
next_off=$((off_every - 30))
for minute in $(seq 1 "$minutes"); do
  while [ "$next_off" -lt $((minute * 60)) ]; do
    sleep_until "$next_off"
    cycles=$((cycles + 1))
    display_cycle "$cycles" && handled=$((handled + 1))
    next_off=$((next_off + off_every))
  done
  sleep_until $((minute * 60))
  if ! now=$(sample); then
    tw_fail "saver still running at minute $minute"
    break
  fi
  samples+=("$now")
  echo "  $minute: $now"
done
# Ended well away from the last change of sound, so that the recording holds
# the sound the log names last.
sleep_until $((minutes * 60 + 20))
ts_scene_stop
tw_expect_eq "saver exits 0 after the key" "$TW_EXIT" 0
tw_expect "the display went off and on ($cycles times)" [ "$cycles" -ge 1 ]
tw_expect_eq "each display off stopped the frame loop and closed the device, each on brought them back" \
  "$handled" "$cycles"

if [ ${#samples[@]} -ge 1 ]; then
  read -r rss0 handles0 gdi0 <<< "${samples[0]}"
  read -r rss1 handles1 gdi1 <<< "${samples[-1]}"
  echo "soak: first: resident $rss0 kB, $handles0 handles, $gdi0 GDI objects"
  echo "soak: last:  resident $rss1 kB, $handles1 handles, $gdi1 GDI objects"
  growth "resident memory (kB)" "$rss0" "$rss1" "$RSS_GROWTH_KB"
  growth "handles" "$handles0" "$handles1" "$COUNT_GROWTH"
  growth "GDI objects" "$gdi0" "$gdi1" "$COUNT_GROWTH"
fi

# The sounds in the order the log names them: the first, then each change.
played=$(grep -a 'Tidewater: ambient sound' "$TW_LOG" | tw_log /dev/stdin |
  sed -n -e 's/^Tidewater: ambient sound \([0-9]*\)$/\1/p' \
         -e 's/^Tidewater: ambient sound [0-9]* crossfades into \([0-9]*\)$/\1/p' | paste -sd,)
echo "soak: the log's sounds: $played"
if [ -f "$raw" ]; then
  cp "$raw" "$TW_WORK/stretch-$((cycles + 1)).raw"
  stretches=()
  for i in $(seq 1 $((cycles + 1))); do stretches+=("$TW_WORK/stretch-$i.raw"); done
  verdict=$(python3 "$TW_TOP/tests/support/sound_stretches.py" "$played" "${stretches[@]}" \
    -- "${sounds[@]}")
  sed '$d' <<< "$verdict"
  tw_expect_eq "the recordings: the log's sounds, no gap, each change a crossfade" \
    "$(tail -n 1 <<< "$verdict")" ok
else
  tw_fail "no recording of 22050 Hz 8-bit mono sound"
fi
tw_finish
