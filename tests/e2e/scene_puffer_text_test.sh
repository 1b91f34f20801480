#!/usr/bin/env bash
# Measures time: runs beside no other end-to-end script.
# The puffer fish and the line of custom text in the running scene under
# Wine, measured on bursts of screenshots of a 640 x 480 scene over
# background 7 (no overlays): the puffer swims left at exactly two pixels a
# tick and inflates (a little in every cycle, now and then fully); the text
# is drawn in the chosen font and colour, drifts two pixels a tick and
# bounces only once it has left the screen, coming back from the same edge.
set -u
source "$(dirname "$0")/../support/scene.sh"
tw_begin scene_puffer_text 640x480x24
tw_stage plain

want=$TW_WORK/want-7.png
ts_expected 7 640 "$want"

# ---------------------------------------------------------------- puffer

ts_config_reset
ts_set DISPLAY dword 7
ts_set FISHES dword $((1 << 9))
tw_reg_apply
ts_scene_start 640 480 || tw_fail "the scene with the puffer comes up"
# Sizes count only while the puffer is wholly in view.
whole='$6 > 0 && $2 > 0 && $2 + $4 < 640 && $3 > 0 && $3 + $5 < 480'
# Full inflation comes once in 15 cycles of 8 ticks on average: capture until
# it is seen (at most 48 s).
for burst in 1 2 3 4 5 6 7 8; do
  ts_capture "$TW_WORK/puffer" 6 0.1
  ts_track "$TW_WORK/puffer" "$want" "$TW_WORK/puffer.track"
  awk "$whole"' && $5 >= 80 { found = 1 } END { exit !found }' "$TW_WORK/puffer.track" && break
done
ts_scene_stop
ts_segments "$TW_WORK/puffer.track" 1 > "$TW_WORK/puffer.segments"
echo "puffer: tick $TS_TICK_MS ms; stretches:"; sed 's/^/   /' "$TW_WORK/puffer.segments"

tw_expect_eq "the puffer starts out swimming left" \
  "$(head -n 1 "$TW_WORK/puffer.segments" | cut -d' ' -f1)" left
while read -r kind start end speed; do
  awk -v a="$start" -v b="$end" 'BEGIN { exit !(b - a >= 2) }' || continue
  tw_expect_range "the puffer swims 2 pixels a tick, no drift ($kind, $start..$end s)" \
    "$(ts_px_per_tick "$speed")" 1.85 2.15
done < "$TW_WORK/puffer.segments"
heights=$(awk "$whole"' { print $5 }' "$TW_WORK/puffer.track" | sort -n)
low=$(head -n 1 <<< "$heights")
high=$(tail -n 1 <<< "$heights")
tw_expect_range "the deflated puffer is low (its box's least height)" "$low" 20 50
tw_expect_range "the puffer inflates fully, within its 100-pixel frame (greatest height)" \
  "$high" 80 100
# Every small cycle (frames 0 to 4 and back, 8 ticks) changes its height:
# over any two seconds there are shots of different heights.
flat=$(awk "$whole"' { s = int($1 / 2); c[s]++
                      if (!(s in lo) || $5 < lo[s]) lo[s] = $5
                      if ($5 > hi[s]) hi[s] = $5 }
            END { for (s in lo) if (c[s] >= 8 && hi[s] - lo[s] < 4) n++; print n + 0 }' \
  "$TW_WORK/puffer.track")
tw_expect_eq "the puffer's size changes within any two seconds (still stretches)" "$flat" 0
after=$(awk '$5 >= 80 { full = 1; next } full && '"$whole"' && $5 <= 50 { print "yes"; exit }' \
  "$TW_WORK/puffer.track")
# (when the capture went on for a while after it)
if awk '$5 >= 80 { t = $1 } { last = $1 } END { exit !(t != "" && t < last - 3) }' \
    "$TW_WORK/puffer.track"; then
  tw_expect_eq "after a full inflation it shrinks back" "$after" yes
fi

# ---------------------------------------------------------------- text

# text_boxes DIR: per shot "SECONDS X Y W H COUNT" of the magenta pixels.
text_boxes() {
  local n t
  [ -f "$1.boxes" ] || : > "$1.boxes"
  while read -r n t; do
    grep -q "^$t " "$1.boxes" && continue
    convert "$1/$n.xwd" "$1/$n.png"
    echo "$t $(ts_colour_box "$1/$n.png" 255 0 255 3)" >> "$1.boxes"
  done < "$1/times"
}

# Bold 40-pixel Tahoma without antialiasing, in magenta (0x00BBGGRR).
ts_config_reset
ts_set DISPLAY dword 7
ts_set FISHES dword 0
ts_set CUSTOMTEXT string "Tidewater 123"
ts_set FONTCOLOR dword 0xFF00FF
ts_set FONT string "$(ts_font_hex -40 700 3 Tahoma)"
tw_reg_apply
ts_scene_start 640 480 || tw_fail "the scene with text comes up"
# A bounce comes once the text has crossed the screen (at most about 40 s).
# It shows as a new line: the text comes back at a new random height, so
# the top of its ink jumps between two shots. (Should the new height be the
# old one, a reversal of its motion marks the bounce instead; that motion is
# read from an edge of the ink the screen cuts in neither shot, as an edge
# near the cut jumps between words.)
# turn_between BOXES: "KIND T1 T2" of the first bounce, the shots around it.
turn_between() {
  awk -v W=640 '$6 > 0 { n++; t[n] = $1; x[n] = $2; y[n] = $3; r[n] = $2 + $4 }
    END { for (i = 2; i <= n; i++) {
            d = y[i] - y[i - 1]
            if (d > 4 || d < -4) { print "line", t[i - 1], t[i]; exit }
          }
          for (i = 2; i <= n; i++) {
            if (x[i - 1] > 12 && x[i] > 12) v = x[i] - x[i - 1]
            else if (r[i - 1] < W - 12 && r[i] < W - 12) v = r[i] - r[i - 1]
            else continue
            if (v == 0) continue
            if (last != 0 && v * last < 0) { print "reversal", t[i - 1], t[i]; exit }
            last = v } }' "$1"
}
# seen_whole BOXES: true when the line's widest ink held over more than 1.2 s
# of shots (while part of it is cut off by an edge, the ink keeps changing).
seen_whole() {
  awk '$6 > 0 { if ($4 > m) { m = $4; first = $1 } if ($4 == m) last = $1 }
       END { exit !(m > 0 && last - first > 1.2) }' "$1"
}
turn=
for burst in 1 2 3 4 5 6 7 8 9 10 11 12; do
  ts_capture "$TW_WORK/text" 4 0.25
  text_boxes "$TW_WORK/text"
  turn=$(turn_between "$TW_WORK/text.boxes")
  [ -n "$turn" ] && break
done
# Then on until the whole line has been seen long enough to time it (it may
# have turned at the start, and comes back in at 2 pixels a tick).
if [ -n "$turn" ]; then
  for burst in 1 2 3 4 5 6 7 8; do
    ts_capture "$TW_WORK/text" 3 0.25
    text_boxes "$TW_WORK/text"
    seen_whole "$TW_WORK/text.boxes" && break
  done
fi
ts_scene_stop
boxes=$TW_WORK/text.boxes
read -r turn_kind t1 t2 <<< "$turn"
echo "text: tick $TS_TICK_MS ms, bounce (${turn_kind:-none}) between ${t1:-?} and ${t2:-?} s"

# (Only the instant of a bounce may find it wholly out of sight.)
tw_expect_range "the text is in the chosen colour in every shot (shots without magenta)" \
  "$(awk '$6 == 0' "$boxes" | wc -l)" 0 2
# The ink of "Tidewater 123" (no descenders) at a 40-pixel character height.
tw_expect_range "the text is in the chosen font (ink height, px)" \
  "$(awk '$2 > 0 && $2 + $4 < 640 { print $5; exit }' "$boxes")" 25 36
# Shots that show the whole line (its full ink width), on either side of the
# bounce: each side keeps one height, and the line drifts 2 pixels a tick.
full=$(awk '$4 > m { m = $4 } END { print m + 0 }' "$boxes")
side() {  # side before|after: the whole-line shots of that side of the bounce
  awk -v s="$1" -v a="${t1:-1e9}" -v b="${t2:-1e9}" -v f="$full" \
    '$4 == f && ((s == "before" && $1 <= a) || (s == "after" && $1 >= b))' "$boxes"
}
for s in before after; do
  tops=$(side "$s" | awk '{ print $3 }' | sort -u | wc -l)
  [ "$(side "$s" | wc -l)" -gt 0 ] &&
    tw_expect_eq "the text keeps its height $s the bounce (distinct tops)" "$tops" 1
done
# The longer of the two sides, when it spans more than a second.
speed=$( { side before; echo; side after; } | awk '
  BEGIN { group = 0 }
  NF == 0 { group = 1; next }
  { n[group]++; if (n[group] == 1) { t0[group] = $1; x0[group] = $2 }
    t1[group] = $1; x1[group] = $2 }
  END { best = -1
        for (g = 0; g <= 1; g++) {
          if (!(g in n) || t1[g] - t0[g] <= 1) continue
          if (best < 0 || t1[g] - t0[g] > t1[best] - t0[best]) best = g
        }
        if (best >= 0) printf "%.1f", (x1[best] - x0[best]) / (t1[best] - t0[best]) }')
if [ -n "$speed" ]; then
  tw_expect_range "the text drifts 2 pixels a tick" "$(ts_px_per_tick "$speed")" 1.8 2.2
else
  tw_fail "the text was not seen whole for long enough to measure its speed"
fi
if [ -n "$turn" ]; then
  read -r bx bw by < <(awk -v a="$t1" '$1 == a { print $2, $4, $3 }' "$boxes")
  read -r ax aw ay < <(awk -v b="$t2" '$1 == b { print $2, $4, $3 }' "$boxes")
  echo "text line before the bounce at y $by, after it at y $ay"
  tw_expect "the last ink before the bounce touches an edge" \
    test "$bx" -le 12 -o "$((bx + bw))" -ge 628
  tw_expect "the first ink after the bounce touches the same edge" \
    test "$((bx <= 12))" = "$((ax <= 12))"
  if [ "$turn_kind" = line ]; then
    # In between, the text went wholly out of sight over that edge and came
    # back: the ink seen before and after adds up to the two pixels a tick
    # it travelled (less a few for the glyphs' side bearings and the tick or
    # two it spent out of view). A text that turned in view shows far more.
    # A shot's time stamp may lie up to a tick from the frame it shows, so
    # the ticks between two shots are known to within two either way.
    travelled=$(awk -v a="$t1" -v b="$t2" -v ms="$TS_TICK_MS" \
      'BEGIN { printf "%.0f", 2 * (b - a) * 1000 / ms }')
    echo "   (it travelled about $travelled px between those shots)"
    tw_expect_range "the text turns only once out of sight (ink seen before and after, px)" \
      "$((bw + aw))" "$((travelled - 30))" "$((travelled + 8))"
  fi
else
  tw_fail "the text did not bounce within the capture"
fi

# The default font (empty "FONT") is much smaller.
ts_set FONT string ""
tw_reg_apply
ts_scene_start 640 480 || tw_fail "the scene with text in the default font comes up"
ts_capture "$TW_WORK/plain-text" 1 0.25
ts_scene_stop
text_boxes "$TW_WORK/plain-text"
tw_expect_range "an empty FONT gives the small default font (ink height, px)" \
  "$(awk '$6 > 0 { print $5; exit }' "$TW_WORK/plain-text.boxes")" 5 16

tw_finish
