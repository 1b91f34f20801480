#!/usr/bin/env bash
# The puffer fish and the line of custom text in the running scene under
# Wine, on a 640 x 480 scene over background 7 (no overlays), with the
# tick-trace build of the saver: every tick of the puffer (starts left at two
# pixels a tick without drift, flips at its range ends, inflates a little in
# every cycle and now and then fully) and of the text (drifts two pixels a
# tick, bounces only once it has left the screen, at a new random height) is
# checked against the rules; paused frames show the puffer's sizes and the
# text in the chosen font and colour where the trace has them.
set -u
source "$(dirname "$0")/../support/scene.sh"
tw_begin scene_puffer_text 640x480x24
ts_stage_traced plain

want=$TW_WORK/want-7.png
ts_expected 7 640 "$want"

# first_tick TRACE CONDITION: the first tick whose line (fields as traced)
# meets an awk condition, with the actor wholly in the scene.
first_tick() {
  awk '$2 == 0 && $4 >= 0 && $5 >= 0 && $4 + $6 <= 640 && $5 + $7 <= 480 && ('"$2"') {
         print $1, $4, $5, $6, $7; exit }' "$1"
}

# within BOX X Y W H: the box "BX BY BW BH COUNT" is not empty and lies in
# the rectangle.
within() {
  local bx by bw bh n
  read -r bx by bw bh n <<< "$1"
  [ "$n" -gt 0 ] && [ "$bx" -ge "$2" ] && [ "$by" -ge "$3" ] &&
    [ $((bx + bw)) -le $(($2 + $4)) ] && [ $((by + bh)) -le $(($3 + $5)) ]
}

# ---------------------------------------------------------------- puffer

ts_config_reset
ts_set DISPLAY dword 7
ts_set FISHES dword $((1 << 9))
tw_reg_apply
seed=21
trace=$TW_WORK/puffer.trace
ts_traced_run 640 480 "$seed" 1200 "$trace" || tw_fail "a traced run of the puffer"
report=$(ts_puffer_rules "$trace" 0)
ts_rules_hold "the puffer starts left, swims exactly 2 pixels a tick, flips at its range ends and runs its frames up to 4 or 15 and back" "$report"
tw_expect_range "the puffer inflates fully now and then (ticks at frame 15)" "$(ts_count "$report" full)" 1 1000
tw_expect_range "the puffer flips" "$(ts_count "$report" flips)" 1 1000

for frame in 0 15; do
  read -r tick x y w h < <(first_tick "$trace" "\$8 == $frame")
  if [ -z "${tick:-}" ]; then
    tw_fail "the puffer at frame $frame in full view in its trace"
    continue
  fi
  ts_paused_check 640 480 "puffer-$frame" "$seed" "$tick" "$trace"
  box=$(ts_change_box "$TW_WORK/puffer-$frame.png" "$want")
  tw_expect "the puffer at frame $frame is drawn in its traced box ($box in $x,$y ${w}x$h)" \
    within "$box" "$x" "$y" "$w" "$h"
  if [ "$frame" = 0 ]; then
    tw_expect_range "the deflated puffer is low (height of what changed)" "$(cut -d' ' -f4 <<< "$box")" 20 50
  else
    tw_expect_range "the fully inflated puffer fills its 100-pixel frame (height of what changed)" \
      "$(cut -d' ' -f4 <<< "$box")" 80 100
  fi
done

# ---------------------------------------------------------------- text

# Bold 40-pixel Tahoma without antialiasing, in magenta (0x00BBGGRR).
ts_config_reset
ts_set DISPLAY dword 7
ts_set FISHES dword 0
ts_set CUSTOMTEXT string "Tidewater 123"
ts_set FONTCOLOR dword 0xFF00FF
ts_set FONT string "$(ts_font_hex -40 700 3 Tahoma)"
tw_reg_apply
seed=4
trace=$TW_WORK/text.trace
ts_traced_run 640 480 "$seed" 1400 "$trace" || tw_fail "a traced run of the text"
report=$(ts_text_rules "$trace" 0 640 480)
ts_rules_hold "the text drifts 2 pixels a tick and bounces only out of sight, at a new height" "$report"
tw_expect_range "the text bounces" "$(ts_count "$report" bounces)" 1 1000

# The ink of "Tidewater 123" (no descenders) at a 40-pixel character height,
# in magenta, inside the rectangle the text is drawn into.
read -r tick x y w h < <(first_tick "$trace" 1)
if [ -n "${tick:-}" ]; then
  ts_paused_check 640 480 text "$seed" "$tick" "$trace"
  box=$(ts_colour_box "$TW_WORK/text.png" 255 0 255 3)
  tw_expect "the text is drawn in its colour in its traced box ($box in $x,$y ${w}x$h)" \
    within "$box" "$x" "$y" "$w" "$h"
  tw_expect_range "the text is in the chosen font (ink height, px)" "$(cut -d' ' -f4 <<< "$box")" 25 36
  tw_expect_eq "nothing but the text changed" \
    "$(ts_changed_rect "$TW_WORK/text.png" "$want" 0 0 640 480)" \
    "$(ts_changed_rect "$TW_WORK/text.png" "$want" "$x" "$y" "$w" "$h")"
else
  tw_fail "the text in full view in its trace"
fi

# The default font (empty "FONT") is much smaller.
ts_set FONT string ""
tw_reg_apply
trace=$TW_WORK/plain-text.trace
ts_traced_run 640 480 "$seed" 400 "$trace" || tw_fail "a traced run of the text in the default font"
read -r tick x y w h < <(first_tick "$trace" 1)
if [ -n "${tick:-}" ]; then
  ts_paused_check 640 480 plain-text "$seed" "$tick" "$trace"
  box=$(ts_colour_box "$TW_WORK/plain-text.png" 255 0 255 3)
  tw_expect "the default-font text is drawn in its traced box ($box in $x,$y ${w}x$h)" \
    within "$box" "$x" "$y" "$w" "$h"
  tw_expect_range "an empty FONT gives the small default font (ink height, px)" \
    "$(cut -d' ' -f4 <<< "$box")" 5 16
else
  tw_fail "the default-font text in full view in its trace"
fi

tw_finish
