#!/usr/bin/env bash
# Fish in the running scene under Wine, on a 640 x 480 scene, with the
# tick-trace build of the saver: every tick of a neon tetra (swims at its
# speed, turns in place for its turn frames at the ends of its range and
# releases a bubble burst at mid-turn), an angel fish (also hovers), a
# loggerhead turtle (flips at once) and the still overlays is checked against
# the rules of motion; paused frames show the burst on the screen, the turtle
# (drawn before overlay A) behind A, and a parrot fish (drawn after A, before
# B) over A and behind B.
set -u
source "$(dirname "$0")/../support/scene.sh"
tw_begin scene_fish 640x480x24
ts_stage_traced plain

NEON=$((1 << 10))
ANGEL=$((1 << 2))
LOGGERHEAD=$((1 << 1))
PARROT=$((1 << 5))

# configure FISHES DISPLAY: only those species over that background.
configure() {
  ts_config_reset
  ts_set FISHES dword "$1"
  ts_set DISPLAY dword "$2"
  tw_reg_apply
}

# inside X Y W H: the rectangle lies wholly in the scene.
inside() { [ "$1" -ge 0 ] && [ "$2" -ge 0 ] && [ $(($1 + $3)) -le 640 ] && [ $(($2 + $4)) -le 480 ]; }

# ---------------------------------------------------------------- neon: swim, turn, bubbles

# Background 7 has no overlays: the neon is slot 0, and every changed pixel
# belongs to it or its bubbles.
want7=$TW_WORK/want-7.png
ts_expected 7 640 "$want7"
configure "$NEON" 7
seed=11
trace=$TW_WORK/neon.trace
ts_traced_run 640 480 "$seed" 900 "$trace" || tw_fail "a traced run of the neon"
report=$(ts_fish_rules "$trace" 0 30 15 -3 0)
ts_rules_hold "the neon swims 3 + 0..2 pixels a tick at one depth, turns in place through frames 15..29 where its range ends and bursts at frame 22" "$report"
tw_expect_range "the neon turns, both ways" "$(ts_count "$report" turns)" 2 1000
tw_expect_range "its bursts play to their end" "$(ts_count "$report" bursts)" 2 1000

# A burst in full view, ten frames in, neon and bubbles inside the scene.
read -r tick fx fy fw fh bx by < <(awk '$2 == 0 && $14 == 1 && $15 == 10 && $4 >= 0 &&
    $4 + $6 <= 640 && $5 >= 0 && $5 + $7 <= 480 && $16 >= 0 && $17 >= 0 && $16 + 160 <= 640 {
    print $1, $4, $5, $6, $7, $16, $17; exit }' "$trace")
if [ -n "${tick:-}" ]; then
  ts_paused_check 640 480 burst "$seed" "$tick" "$trace"
  shot=$TW_WORK/burst.png
  read -r cx cy cw ch count < <(ts_change_box "$shot" "$want7")
  ux=$((fx < bx ? fx : bx)) uy=$((fy < by ? fy : by))
  ur=$((fx + fw > bx + 160 ? fx + fw : bx + 160)) ub=$((fy + fh > by + 120 ? fy + fh : by + 120))
  tw_expect "what changed lies in the traced neon and burst ($cx,$cy ${cw}x$ch in $ux,$uy..$ur,$ub)" \
    test "$count" -gt 0 -a "$cx" -ge "$ux" -a "$cy" -ge "$uy" -a $((cx + cw)) -le "$ur" -a $((cy + ch)) -le "$ub"
  tw_expect_range "the neon is drawn where the trace has it (changed pixels)" \
    "$(ts_changed_rect "$shot" "$want7" "$fx" "$fy" "$fw" "$fh")" 150 1000000
  tw_expect_range "the burst shows above the neon (changed pixels)" \
    "$(ts_changed_rect "$shot" "$want7" "$bx" "$by" 160 $((fy - by)))" 150 1000000
else
  tw_fail "a burst in full view in the neon's trace"
fi

# ---------------------------------------------------------------- angel: hover

configure "$ANGEL" 7
trace=$TW_WORK/angel.trace
ts_traced_run 640 480 5 900 "$trace" || tw_fail "a traced run of the angel fish"
report=$(ts_fish_rules "$trace" 0 30 10 -2 1)
ts_rules_hold "the angel fish swims 2 + 0..2 pixels a tick, hovers in place and turns through frames 10..29" "$report"
tw_expect_range "the angel fish hovers and swims on" "$(ts_count "$report" hovers)" 1 1000
tw_expect_range "the angel fish turns" "$(ts_count "$report" turns)" 1 1000

# ---------------------------------------------------------------- overlays and drawing order

want0=$TW_WORK/want-0.png
ts_expected 0 640 "$want0"
ts_overlay_mask 0 640 A "$TW_WORK/mask-A.png"
ts_overlay_mask 0 640 B "$TW_WORK/mask-B.png"

# best_overlap TRACE SLOT MASK: the tick at which the fish of SLOT, wholly in
# the scene, is the most evenly split between the opaque pixels of an
# overlay and the rest (most of both to see); "TICK X Y W H COVERED". The
# eight best ticks by their boxes' overlap are measured on the mask.
best_overlap() {
  local mask=$3 ox oy ow oh
  read -r ox oy ow oh < <(convert "$mask" -trim -format '%X %Y %w %h\n' info: | tr -d +)
  awk -v s="$2" -v ox="$ox" -v oy="$oy" -v ow="$ow" -v oh="$oh" '
    $2 == s && $4 >= 0 && $5 >= 0 && $4 + $6 <= 640 && $5 + $7 <= 480 {
      l = $4 > ox ? $4 : ox; r = $4 + $6 < ox + ow ? $4 + $6 : ox + ow
      t = $5 > oy ? $5 : oy; b = $5 + $7 < oy + oh ? $5 + $7 : oy + oh
      i = (r > l && b > t) ? (r - l) * (b - t) : 0
      score = i < $6 * $7 - i ? i : $6 * $7 - i
      if (score > 0) print score, $1, $4, $5, $6, $7 }' "$1" |
    sort -k1,1nr -k2,2n | head -n 8 |
    while read -r score tick x y w h; do
      covered=$(ts_mask_in_rect "$mask" "$x" "$y" "$w" "$h")
      rest=$((w * h - covered))
      echo "$((covered < rest ? covered : rest)) $tick $x $y $w $h $covered"
    done | sort -k1,1nr -k2,2n | head -n 1 | cut -d' ' -f2-
}

# The loggerhead turtle (species 1: slot 0, before overlay A in slot 1 and B
# in slot 2) flips at once at its range ends; the overlays never move.
configure "$LOGGERHEAD" 0
seed=3
trace=$TW_WORK/turtle.trace
ts_traced_run 640 480 "$seed" 900 "$trace" || tw_fail "a traced run of the turtle"
report=$(ts_fish_rules "$trace" 0 31 31 -3 0)
ts_rules_hold "the turtle swims 3 + 0..1 pixels a tick and flips where its range ends" "$report"
tw_expect_range "the turtle flips" "$(ts_count "$report" flips)" 1 1000
for slot in 1 2; do
  ts_rules_hold "the overlay in slot $slot stays still" "$(ts_fish_rules "$trace" "$slot" 1 1 0 0)"
done
read -r tick x y w h covered < <(best_overlap "$trace" 0 "$TW_WORK/mask-A.png")
if [ -n "${tick:-}" ]; then
  ts_paused_check 640 480 turtle "$seed" "$tick" "$trace"
  shot=$TW_WORK/turtle.png
  tw_expect_range "the turtle's box covers much of overlay A at tick $tick (opaque pixels)" "$covered" 500 1000000
  tw_expect_eq "the turtle does not cover overlay A (changed pixels on A)" \
    "$(ts_changed_in "$shot" "$want0" "$TW_WORK/mask-A.png")" 0
  tw_expect_range "the turtle shows beside overlay A (changed pixels in its box)" \
    "$(ts_changed_rect "$shot" "$want0" "$x" "$y" "$w" "$h")" 200 1000000
else
  tw_fail "the turtle passes overlay A in its trace"
fi

# The parrot fish (species 5: slot 1, after overlay A in slot 0, before B in
# slot 2): drawn over A, behind B.
configure "$PARROT" 0
seed=8
trace=$TW_WORK/parrot.trace
ts_traced_run 640 480 "$seed" 900 "$trace" || tw_fail "a traced run of the parrot fish"
ts_rules_hold "the parrot fish swims 4 + 0..2 pixels a tick and turns through frames 20..39" \
  "$(ts_fish_rules "$trace" 1 40 20 -4 0)"
read -r tick x y w h covered < <(best_overlap "$trace" 1 "$TW_WORK/mask-A.png")
if [ -n "${tick:-}" ]; then
  ts_paused_check 640 480 parrot-a "$seed" "$tick" "$trace"
  tw_expect_range "the parrot fish covers overlay A at tick $tick (changed pixels on A)" \
    "$(ts_changed_in "$TW_WORK/parrot-a.png" "$want0" "$TW_WORK/mask-A.png")" 200 1000000
else
  tw_fail "the parrot fish passes overlay A in its trace"
fi
read -r tick x y w h covered < <(best_overlap "$trace" 1 "$TW_WORK/mask-B.png")
if [ -n "${tick:-}" ]; then
  ts_paused_check 640 480 parrot-b "$seed" "$tick" "$trace"
  shot=$TW_WORK/parrot-b.png
  tw_expect_range "the parrot's box covers much of overlay B at tick $tick (opaque pixels)" "$covered" 500 1000000
  tw_expect_eq "the parrot fish does not cover overlay B (changed pixels on B)" \
    "$(ts_changed_in "$shot" "$want0" "$TW_WORK/mask-B.png")" 0
  tw_expect_range "the parrot fish shows beside overlay B (changed pixels in its box)" \
    "$(ts_changed_rect "$shot" "$want0" "$x" "$y" "$w" "$h")" 200 1000000
else
  tw_fail "the parrot fish passes overlay B in its trace"
fi

tw_finish
