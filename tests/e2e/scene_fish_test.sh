#!/usr/bin/env bash
# Measures time: runs beside no other end-to-end script.
# Fish in the running scene under Wine, measured on bursts of screenshots of
# a 640 x 480 scene: a neon tetra swims at its speed, turns in place at the
# end of its range and releases a bubble burst in the middle of the turn; an
# angel fish also hovers; a loggerhead turtle (drawn before overlay A) passes
# behind overlay A, and a parrot fish (drawn after it) passes over overlay A
# and behind overlay B. The per-tick rules are host-tested; this shows them on
# the screen.
set -u
source "$(dirname "$0")/../support/scene.sh"
tw_begin scene_fish 640x480x24
tw_stage plain

NEON=$((1 << 10))
ANGEL=$((1 << 2))
LOGGERHEAD=$((1 << 1))
PARROT=$((1 << 5))

# run_species FISHES DISPLAY: starts a scene with only those species.
run_species() {
  ts_config_reset
  ts_set FISHES dword "$1"
  ts_set DISPLAY dword "$2"
  tw_reg_apply
  ts_scene_start 640 480 || tw_fail "the scene with FISHES=$1 comes up"
}

# moving_speeds SEGMENTS MIN_SECONDS: the speeds of the moving stretches that
# last at least that long.
moving_speeds() {
  awk -v m="$2" '$1 != "still" && $3 - $2 >= m { print $4 }' "$1"
}

# turns SEGMENTS: "START END" of every still stretch that lies between
# stretches of opposite directions.
turns() {
  awk '{ k[NR] = $1; s[NR] = $2; e[NR] = $3 }
       END { for (i = 2; i < NR; i++)
               if (k[i] == "still" && k[i - 1] != "still" && k[i + 1] != "still" &&
                   k[i - 1] != k[i + 1]) print s[i], e[i] }' "$1"
}

# hovers SEGMENTS LONGEST_TURN: "START END" of every still stretch that is no
# turn: the fish goes on in the same direction afterwards, or it stays
# longer than a turn can last. Stops shorter than 0.8 s are left out (a
# busy machine can hold the saver back that long).
hovers() {
  awk -v turn="$2" '{ k[NR] = $1; s[NR] = $2; e[NR] = $3 }
       END { for (i = 1; i <= NR; i++) {
               if (k[i] != "still" || e[i] - s[i] < 0.8) continue
               same = i > 1 && i < NR && k[i - 1] == k[i + 1] && k[i - 1] != "still"
               if (same || e[i] - s[i] > turn) print s[i], e[i] } }' "$1"
}

# ---------------------------------------------------------------- neon: swim, turn, bubbles

# Background 7 has no overlays, so every changed pixel belongs to the fish or
# its bubbles. The neon's visible turn is at the right end of its range (the
# left one is off screen); one comes within 17 s from any start.
want=$TW_WORK/want-7.png
ts_expected 7 640 "$want"
run_species "$NEON" 7
ts_capture "$TW_WORK/neon" 20 0.12
ts_scene_stop
ts_track "$TW_WORK/neon" "$want" "$TW_WORK/neon.track"
ts_segments "$TW_WORK/neon.track" > "$TW_WORK/neon.segments"
echo "neon: tick $TS_TICK_MS ms; stretches:"; sed 's/^/   /' "$TW_WORK/neon.segments"

speeds=$(moving_speeds "$TW_WORK/neon.segments" 1)
tw_expect "the neon swims (a stretch of a second or more)" test -n "$speeds"
for v in $speeds; do
  tw_expect_range "the neon swims 3 + 0..2 pixels a tick" "$(ts_px_per_tick "$v")" 2.7 5.3
done
tw_expect "the neon swims both ways" \
  test "$(awk '$1 != "still" { print $1 }' "$TW_WORK/neon.segments" | sort -u | wc -l)" = 2

# Its box keeps its height and bottom while it swims (horizontal motion).
fish_h=$(awk '$6 > 0 { print $5 }' "$TW_WORK/neon.track" | sort -n |
  awk '{ a[NR] = $1 } END { print a[int(NR / 2) + 1] }')
bottoms=$(awk -v h="$fish_h" '$6 > 0 && $5 <= h + 4 && $2 > 0 && $2 + $4 < 640 { print $3 + $5 }' \
  "$TW_WORK/neon.track" | sort -n | uniq |
  awk 'NR == 1 { lo = $1 } { hi = $1 } END { print hi - lo }')

read -r turn_start turn_end < <(turns "$TW_WORK/neon.segments" | head -n 1)
if [ -n "${turn_start:-}" ]; then
  tw_pass "the neon turns in place between opposite stretches ($turn_start..$turn_end s)"
  tw_expect_range "the turn lasts about its 15 frames (s)" \
    "$(awk -v a="$turn_start" -v b="$turn_end" 'BEGIN { print b - a }')" 0.5 1.9
  # Bubbles: the box grows well above the little fish (the burst is 120
  # pixels high, its bottom on the fish's bottom line, clipped at the top of
  # the scene). The first such shot comes during the turn or soon after it
  # (the burst's first frames are faint).
  first=$(awk -v h="$fish_h" -v a="$turn_start" '$1 >= a - 0.3 && $5 >= h + 12 { print $1; exit }' \
    "$TW_WORK/neon.track")
  if [ -n "$first" ]; then
    tw_expect_range "the bubble burst shows up during the turn (s after it began)" \
      "$(awk -v a="$turn_start" -v f="$first" 'BEGIN { print f - a }')" 0.2 2.2
  else
    tw_fail "no bubble burst after the neon's turn at $turn_start s"
  fi
else
  tw_fail "the neon never turned in view"
fi
tw_expect_range "the swimming neon keeps its depth (spread of its bottom line, px)" \
  "${bottoms:-99}" 0 "$((fish_h / 3 + 2))"
# No bubbles while it just swims: every burst begins near a turn, one seen
# in view or one the neon made off screen (it was not wholly in view during
# the 2.5 s before).
burst_starts() {
  awk -v h="$fish_h" -v W=640 '
    { t[NR] = $1; big[NR] = $5 >= h + 12
      vis[NR] = $6 > 0 && $2 > 0 && $2 + $4 < W && $5 < h + 12 }
    END {
      for (i = 1; i <= NR; i++) {
        if (!big[i] || (i > 1 && big[i - 1])) continue
        hidden = i == 1
        for (j = i - 1; j >= 1 && t[j] > t[i] - 2.5; j--) if (!vis[j] && !big[j]) hidden = 1
        print t[i], hidden
      }
    }' "$TW_WORK/neon.track"
}
stray=$(burst_starts | while read -r t hidden; do
  [ "$hidden" = 1 ] && continue
  awk -v t="$t" '$1 == "still" && $2 <= t + 0.3 && t <= $3 + 2.2 { found = 1 }
                 END { exit !found }' \
    "$TW_WORK/neon.segments" || echo "$t"
done)
tw_expect_eq "every bubble burst starts in a turn" "$stray" ""

# ---------------------------------------------------------------- angel: hover

# Hovering starts with a chance of 1 in 100 a tick and lasts as long on
# average: the capture goes on in bursts until a hover is seen (at most 64 s).
run_species "$ANGEL" 7
hover=
for burst in 1 2 3 4 5 6 7 8; do
  ts_capture "$TW_WORK/angel" 8 0.2
  ts_track "$TW_WORK/angel" "$want" "$TW_WORK/angel.track"
  ts_segments "$TW_WORK/angel.track" > "$TW_WORK/angel.segments"
  # A turn of the angel's 20 frames lasts 1.6 s.
  hover=$(hovers "$TW_WORK/angel.segments" 2.2 | head -n 1)
  [ -n "$hover" ] && break
done
ts_scene_stop
echo "angel: tick $TS_TICK_MS ms; stretches:"; sed 's/^/   /' "$TW_WORK/angel.segments"
tw_expect "the angel fish hovers: it stands still and then swims on (at $hover s)" test -n "$hover"
for v in $(moving_speeds "$TW_WORK/angel.segments" 1.5); do
  tw_expect_range "the angel fish swims 2 + 0..2 pixels a tick" "$(ts_px_per_tick "$v")" 1.8 4.4
done

# ---------------------------------------------------------------- overlays and drawing order

want0=$TW_WORK/want-0.png
mask_a=$TW_WORK/mask-a.png
mask_b=$TW_WORK/mask-b.png
ts_expected 0 640 "$want0"
ts_overlay_mask 0 640 A "$mask_a"
ts_overlay_mask 0 640 B "$mask_b"

# overlap BOX MASK: how many opaque overlay pixels lie inside a box "X Y W H".
overlap() {
  local x y w h
  read -r x y w h <<< "$1"
  [ "$w" -gt 0 ] || { echo 0; return; }
  convert "$2" -crop "${w}x$h+$x+$y" +repage -format '%[fx:int(mean*w*h+0.5)]\n' info:
}

# watch_overlays DIR: per shot "OVER_A OVER_B BEHIND_A BEHIND_B": changed
# pixels on the opaque parts of A and B, and opaque pixels of A and B inside
# the box of the changes.
watch_overlays() {
  local n t shot box
  while read -r n t; do
    shot=$1/$n.png
    [ -f "$shot" ] && continue
    convert "$1/$n.xwd" -crop "${TS_W}x${TS_H}+0+0" +repage "$shot"
    read -r -a box < <(ts_change_box "$shot" "$want0")
    echo "$(ts_changed_in "$shot" "$want0" "$mask_a") $(ts_changed_in "$shot" "$want0" "$mask_b")" \
      "$(overlap "${box[*]:0:4}" "$mask_a") $(overlap "${box[*]:0:4}" "$mask_b")" >> "$1.watch"
  done < "$1/times"
}

# The loggerhead turtle (slot before overlay A): never drawn over A or B,
# and seen passing behind A (its box covering many of A's opaque pixels).
run_species "$LOGGERHEAD" 0
for burst in 1 2 3 4 5; do
  ts_capture "$TW_WORK/turtle" 4 0.25
  watch_overlays "$TW_WORK/turtle"
  awk '$3 > 2000 { found = 1 } END { exit !found }' "$TW_WORK/turtle.watch" && break
done
ts_scene_stop
tw_expect_eq "the turtle never covers overlay A or B (shots with pixels changed on them)" \
  "$(awk '$1 > 0 || $2 > 0' "$TW_WORK/turtle.watch" | wc -l)" 0
tw_expect_range "the turtle passes behind overlay A (most of A's pixels in its box)" \
  "$(awk '$3 > m { m = $3 } END { print m + 0 }' "$TW_WORK/turtle.watch")" 2000 1000000

# The parrot fish (after overlay A, before overlay B): drawn over A, behind B.
run_species "$PARROT" 0
for burst in 1 2 3 4 5; do
  ts_capture "$TW_WORK/parrot" 4 0.25
  watch_overlays "$TW_WORK/parrot"
  awk '$1 > 200 { a = 1 } $4 > 1000 { b = 1 } END { exit !(a && b) }' "$TW_WORK/parrot.watch" &&
    break
done
ts_scene_stop
tw_expect_range "the parrot fish swims over overlay A (most changed pixels on A in a shot)" \
  "$(awk '$1 > m { m = $1 } END { print m + 0 }' "$TW_WORK/parrot.watch")" 200 1000000
tw_expect_eq "the parrot fish never covers overlay B" \
  "$(awk '$2 > 0' "$TW_WORK/parrot.watch" | wc -l)" 0
tw_expect_range "the parrot fish passes behind overlay B (B's pixels in its box)" \
  "$(awk '$4 > m { m = $4 } END { print m + 0 }' "$TW_WORK/parrot.watch")" 1000 1000000

tw_finish
