#!/usr/bin/env bash
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

# px_per_tick SPEED: pixels per second at the measured tick period.
px_per_tick() { awk -v v="$1" -v ms="$TS_TICK_MS" 'BEGIN { printf "%.2f", (v < 0 ? -v : v) * ms / 1000 }'; }

# ---------------------------------------------------------------- puffer

ts_config_reset
ts_set DISPLAY dword 7
ts_set FISHES dword $((1 << 9))
tw_reg_apply
ts_scene_start 640 480 || tw_fail "the scene with the puffer comes up"
# Full inflation comes once in 15 cycles of 8 ticks on average: capture until
# it is seen (at most 48 s).
for burst in 1 2 3 4 5 6 7 8; do
  ts_capture "$TW_WORK/puffer" 6 0.1
  ts_track "$TW_WORK/puffer" "$want" "$TW_WORK/puffer.track"
  awk '$5 >= 80 { found = 1 } END { exit !found }' "$TW_WORK/puffer.track" && break
done
ts_scene_stop
ts_segments "$TW_WORK/puffer.track" 1 > "$TW_WORK/puffer.segments"
echo "puffer: tick $TS_TICK_MS ms; stretches:"; sed 's/^/   /' "$TW_WORK/puffer.segments"

tw_expect_eq "the puffer starts out swimming left" \
  "$(head -n 1 "$TW_WORK/puffer.segments" | cut -d' ' -f1)" left
while read -r kind start end speed; do
  awk -v a="$start" -v b="$end" 'BEGIN { exit !(b - a >= 2) }' || continue
  tw_expect_range "the puffer swims 2 pixels a tick, no drift ($kind, $start..$end s)" \
    "$(px_per_tick "$speed")" 1.85 2.15
done < "$TW_WORK/puffer.segments"
heights=$(awk '$6 > 0 && $3 > 0 && $3 + $5 < 480 { print $5 }' "$TW_WORK/puffer.track" | sort -n)
low=$(head -n 1 <<< "$heights")
high=$(tail -n 1 <<< "$heights")
tw_expect_range "the deflated puffer is low (its box's least height)" "$low" 20 50
tw_expect_range "the puffer inflates fully, within its 100-pixel frame (greatest height)" \
  "$high" 80 100
# Every small cycle (frames 0 to 4 and back, 8 ticks) changes its height:
# over any second there are shots of different heights.
flat=$(awk '$6 > 0 { s = int($1); c[s]++; if (!(s in lo) || $5 < lo[s]) lo[s] = $5; if ($5 > hi[s]) hi[s] = $5 }
            END { for (s in lo) if (c[s] >= 5 && hi[s] - lo[s] < 3) n++; print n + 0 }' "$TW_WORK/puffer.track")
tw_expect_eq "the puffer's size changes within every second" "$flat" 0
after=$(awk '$5 >= 80 { full = 1; next } full && $6 > 0 && $5 <= 50 { print "yes"; exit }' \
  "$TW_WORK/puffer.track")
if awk '$5 >= 80 { t = $1 } END { exit !(t != "" && t < last - 3) } { last = $1 }' "$TW_WORK/puffer.track"; then
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
# A bounce comes once the text has crossed the screen (at most about 35 s).
bounced=
for burst in 1 2 3 4 5 6 7 8 9 10; do
  ts_capture "$TW_WORK/text" 4 0.25
  text_boxes "$TW_WORK/text"
  # A bounce: the text's motion reverses (its left edge or its right edge).
  bounced=$(awk '$6 > 0 { n++; x[n] = $2; r[n] = $2 + $4; t[n] = $1 }
    END { for (i = 3; i <= n; i++) {
            a = (x[i - 1] - x[i - 2]) + (r[i - 1] - r[i - 2]); b = (x[i] - x[i - 1]) + (r[i] - r[i - 1])
            if (a * b < 0) { print t[i - 1]; exit } } }' "$TW_WORK/text.boxes")
  [ -n "$bounced" ] && { ts_capture "$TW_WORK/text" 1.5 0.25; text_boxes "$TW_WORK/text"; break; }
done
ts_scene_stop
boxes=$TW_WORK/text.boxes
echo "text: tick $TS_TICK_MS ms, bounce at ${bounced:-none}"

# (Only the instant of a bounce may find it wholly out of sight.)
tw_expect_range "the text is in the chosen colour in every shot (shots without magenta)" \
  "$(awk '$6 == 0' "$boxes" | wc -l)" 0 2
# The ink of "Tidewater 123" (no descenders) at a 40-pixel character height.
tw_expect_range "the text is in the chosen font (ink height, px)" \
  "$(awk '$2 > 0 && $2 + $4 < 640 { print $5; exit }' "$boxes")" 25 36
# Shots that show the whole line: its full ink width.
full=$(awk '$4 > m { m = $4 } END { print m + 0 }' "$boxes")
tw_expect_eq "the text keeps its line between bounces (distinct tops of the whole line before it)" \
  "$(awk -v b="${bounced:-1e9}" -v f="$full" '$4 == f && $1 <= b { print $3 }' "$boxes" | sort -u | wc -l)" 1
speed=$(awk -v b="${bounced:-1e9}" -v f="$full" '$4 == f && $1 <= b { n++; t[n] = $1; x[n] = $2 }
  END { if (n >= 2 && t[n] - t[1] > 1) printf "%.1f", (x[n] - x[1]) / (t[n] - t[1]) }' "$boxes")
if [ -n "$speed" ]; then
  tw_expect_range "the text drifts 2 pixels a tick" "$(px_per_tick "$speed")" 1.8 2.2
else
  tw_fail "the text was not seen whole for long enough to measure its speed"
fi
if [ -n "$bounced" ]; then
  # Just before it turned the text was (almost) gone over one edge: the
  # visible ink shrank to a sliver touching the left or right edge.
  read -r bx bw < <(awk -v b="$bounced" '$1 == b { print $2, $4 }' "$boxes")
  tw_expect_range "the text turns only once out of sight (ink left at the edge, px)" "$bw" 0 12
  tw_expect "the last ink before the bounce touches an edge" \
    test "$bx" = 0 -o "$((bx + bw))" -ge 639
  read -r top_before top_after < <(awk -v b="$bounced" '$6 > 0 && $1 < b { before = $3 }
    $6 > 0 && $1 > b && $4 > 20 && !after { after = $3 } END { print before, after }' "$boxes")
  echo "text line before the bounce at y $top_before, after it at y ${top_after:-?}"
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
