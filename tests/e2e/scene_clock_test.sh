#!/usr/bin/env bash
# The clock overlay in the running scene under Wine on a 1024 x 768 screen,
# with the tick-trace build: CLOCK 1 and 2 draw the time (and the date) in
# the custom text's colour inside the traced rectangle; the text is redrawn
# when the minute changes (the trace's clock time, TW_TRACE_CLOCK_START, and
# its short minute, TW_TRACE_MINUTE_MS);
# over ten minutes of ticks the clock drifts across the screen; a CLOCK of
# the wrong type or out of range shows no clock and the saver runs; with
# every species, both overlays and the text the clock is there too; on a
# 640 x 480 x 8 screen black clock text (black being the clock image's key
# there) shows, near black, inside the traced box.
set -u
source "$(dirname "$0")/../support/scene.sh"
tw_begin scene_clock 1024x768x24
ts_stage_traced plain

# clock_line TRACE TICK: "X Y W H MINUTE" of the clock at that tick.
clock_line() { awk -v t="$2" '$1 == t && $3 == "clock" { print $4, $5, $6, $7, $8; exit }' "$1"; }

# within BOX X Y W H: the box "BX BY BW BH COUNT" is not empty and lies in it.
within() {
  local bx by bw bh n
  read -r bx by bw bh n <<< "$1"
  [ "$n" -gt 0 ] && [ "$bx" -ge "$2" ] && [ "$by" -ge "$3" ] &&
    [ $((bx + bw)) -le $(($2 + $4)) ] && [ $((by + bh)) -le $(($3 + $5)) ]
}

# configure [TYPE VALUE]: a blank custom text, whose font (bold 32-pixel
# Tahoma without antialiasing) and colour (colour: magenta unless set) the
# clock takes; the text itself draws nothing. With CLOCK when given.
colour=0xFF00FF
configure() {
  ts_config_reset
  [ "$TS_WINDOW_SHOTS" = 1 ] && ts_palette_display on
  ts_set DISPLAY dword 7
  ts_set FISHES dword 0
  ts_set CUSTOMTEXT string " "
  ts_set FONTCOLOR dword "$colour"
  ts_set FONT string "$(ts_font_hex -32 700 3 Tahoma)"
  [ $# -gt 0 ] && ts_set CLOCK "$@"
  tw_reg_apply
}

# The trace's short minute: 1.2 s of ticks, 80 ticks of 15 ms.
export TW_TRACE_CLOCK_START=12:59 TW_TRACE_MINUTE_MS=1200
per_minute=$((TW_TRACE_MINUTE_MS / TS_TRACE_TICK_MS))
for choice in 1 2; do
  configure dword "$choice"
  for tick in 20 $((per_minute + 20)); do
    shot=$TW_WORK/clock$choice-$tick.png
    ts_paused_shot 1024 768 5 "$tick" "$shot" || { tw_fail "clock $choice after tick $tick"; continue; }
    read -r x y w h minute <<< "$(clock_line "$shot.trace" "$tick")"
    [ -n "${x:-}" ] || { tw_fail "clock $choice traced at tick $tick"; continue; }
    box=$(ts_colour_box "$shot" 255 0 255 3)
    tw_expect "clock $choice in its colour inside its traced box ($box in $x,$y ${w}x$h)" \
      within "$box" "$x" "$y" "$w" "$h"
    tw_expect_eq "clock $choice shows the trace's minute at tick $tick" "$minute" \
      $((12 * 60 + 59 + tick / per_minute))
    convert "$shot" -crop "${w}x${h}+${x}+${y}" +repage -fill white +opaque "rgb(255,0,255)" \
      "$TW_WORK/ink$choice-$tick.png"
    heights[$choice]=$h
  done
  # The two shots' ink (aligned to each box) differs: 12:59 became 13:00.
  # (A box of another size is another text too.)
  before=$TW_WORK/ink$choice-20.png after=$TW_WORK/ink$choice-$((per_minute + 20)).png
  if [ "$(identify -format %wx%h "$before")" = "$(identify -format %wx%h "$after")" ]; then
    tw_expect_range "clock $choice redrawn when the minute changed (pixels)" \
      "$(ts_differing "$before" "$after")" 1 100000000
  else
    tw_pass "clock $choice redrawn when the minute changed (its box changed size)"
  fi
done
tw_expect "the date adds a line (${heights[1]:-?} to ${heights[2]:-?} px)" test "${heights[2]:-0}" -gt "${heights[1]:-0}"

# Ten minutes of 80 ms ticks: the clock has moved a long way.
unset TW_TRACE_CLOCK_START TW_TRACE_MINUTE_MS
configure dword 2
trace=$TW_WORK/drift.trace
if TS_TRACE_TICK_MS=5 ts_traced_run 1024 768 7 7500 "$trace"; then
  read -r x0 y0 _ <<< "$(clock_line "$trace" 1)"
  read -r x1 y1 _ <<< "$(clock_line "$trace" 7500)"
  span=$(awk '$3 == "clock" { if (min == "" || $4 < min) min = $4; if ($4 > max) max = $4 }
              END { print max - min }' "$trace")
  tw_expect_range "the clock drifts across the screen (px)" "$span" 300 1024
  tw_expect "the clock moved in ten minutes ($x0,$y0 to $x1,$y1)" test "$x0,$y0" != "$x1,$y1"
else
  tw_fail "a ten-minute traced run with the clock"
fi

# A full scene: every species, both overlays (background 0) and the text
# fill the twenty slots of the creatures; the clock comes on top of them.
ts_config_reset
ts_set DISPLAY dword 0
ts_set FISHES dword 0x1FFFF
ts_set CUSTOMTEXT string "Tidewater"
ts_set CLOCK dword 1
tw_reg_apply
trace=$TW_WORK/full.trace
ts_traced_run 1024 768 3 50 "$trace" || tw_fail "the saver with every species and the clock"
tw_expect_eq "every species, both overlays and the text: the clock is there too" \
  "$(awk '$1 == 50 && $3 == "clock"' "$trace" | wc -l)" 1

# Wrong type, out of range: no clock, the saver runs.
for value in "string 2" "dword 3" "dword 4294967295"; do
  configure $value
  trace=$TW_WORK/none.trace
  ts_traced_run 1024 768 3 50 "$trace" || tw_fail "the saver with CLOCK $value"
  tw_expect_eq "no clock with CLOCK $value" "$(grep -c ' clock ' "$trace")" 0
done

# An 8-bit screen: black is the key of the clock's image there, so black
# text is drawn one step lighter (RGB 8,8,8) and must still show. The same
# paused frame without the clock and with it differ inside the traced box
# only, in near-black ink. (With the saver's private colour map only a dump
# of its own window shows its palette.)
tw_display_restart 640x480x8
TS_WINDOW_SHOTS=1
colour=0
export TW_TRACE_CLOCK_START=12:59
for choice in 0 1; do
  configure dword "$choice"
  ts_paused_shot 640 480 5 20 "$TW_WORK/black$choice.png" || tw_fail "8 bits: CLOCK $choice after tick 20"
done
read -r x y w h _ <<< "$(clock_line "$TW_WORK/black1.png.trace" 20)"
if [ -n "${x:-}" ]; then
  box=$(ts_change_box "$TW_WORK/black0.png" "$TW_WORK/black1.png")
  tw_expect "8 bits: black clock text shows inside its traced box ($box in $x,$y ${w}x$h)" \
    within "$box" "$x" "$y" "$w" "$h"
  ts_change_mask "$TW_WORK/black0.png" "$TW_WORK/black1.png" "$TW_WORK/black-ink.png"
  tw_expect_range "8 bits: the clock's ink is near black (its brightest pixel)" \
    "$(convert "$TW_WORK/black1.png" "$TW_WORK/black-ink.png" -compose multiply -composite \
         -format '%[fx:int(255*maxima)]' info:)" 0 40
else
  tw_fail "8 bits: the clock traced at tick 20"
fi

tw_finish
