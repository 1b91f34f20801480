#!/usr/bin/env bash
# The scene on displays of every depth under Wine (800 x 600 at 24, 16 and 8
# bits): still backgrounds compared region by region with the 24-bit
# pictures decoded from the resource library, the colours of a masked and a
# keyed sprite compared with the same sprites on the 24-bit display, and the
# text in its colour. On 8 bits Wine shows the saver's palette only with a
# private colour map and with the X server doing the drawing (with Wine's
# default client-side drawing every window gets the 20 static colours), and
# only a dump of the saver's own window shows that colour map.
# Every measurement is printed, so the log reads as a report of the colours
# each depth gives.
set -u
source "$(dirname "$0")/../support/scene.sh"
tw_begin scene_depths 800x600x24
ts_stage_traced plain
SEED=6

CLOWN=1
DOLPHIN=$((1 << 15))
MAGENTA="255 0 255"
# Largest mean difference (0 to 255) of any cell of a 4 x 4 grid against the
# 24-bit picture: 24 bits copy exactly; 16 bits in the screen's 565 lose the
# low 3 bits of red and blue and 2 of green (a mean of about 2.5; 555 gave
# about 3 and a worst cell of 4.2); 8 bits with the 135 background colours and
# error diffusion should come within about 6 to 8 (ImageMagick's own
# diffusion to those 135 colours gives 4.7 to 8.2 per cell).
declare -A MAX_CELL=([24]=0.5 [16]=3.5 [8]=12)
# Largest difference of a sprite's mean colour (per channel) from the
# sprite's mean on the 24-bit display.
declare -A MAX_SPRITE=([24]=12 [16]=12 [8]=24)

# mean_masked SHOT STILL: "R G B N", the sum of each channel over the pixels
# that differ from the still scene and are not the text's magenta, and their
# number.
mean_masked() {
  local mask=$TW_WORK/.mask.png
  ts_change_mask "$1" "$2" "$mask"
  convert "$1" -alpha off -fuzz 3% -fill white -opaque "rgb(255,0,255)" -fill black +opaque white \
    -negate "$mask" -compose multiply -composite "$mask"
  convert "$1" -alpha off "$mask" -compose multiply -composite \
    -format '%[fx:mean.r*w*h*255] %[fx:mean.g*w*h*255] %[fx:mean.b*w*h*255] ' info:
  convert "$mask" -format '%[fx:mean*w*h]\n' info:
}

# sprite_colour DEPTH NAME FISHES [TEXT]: runs one species (and the text,
# when given) over background 7 and prints "R G B N": the mean colour of the
# sprite's pixels and their number, on one paused frame in which every actor
# is wholly in the scene. The run has the same seed at every depth, so every
# depth shows the very same frame (TW_WORK/NAME-DEPTH.png): the one first
# found on 24 bits, whose trace the other depths must repeat.
sprite_colour() {
  local depth=$1 name=$2 shot=$TW_WORK/$2-$1.png trace=$TW_WORK/$2.trace tick
  ts_config_reset
  [ "$depth" = 8 ] && ts_palette_display on
  ts_set DISPLAY dword 7
  ts_set FISHES dword "$3"
  if [ -n "${4:-}" ]; then
    ts_set CUSTOMTEXT string "$4"
    ts_set FONTCOLOR dword 0xFF00FF
    ts_set FONT string "$(ts_font_hex -32 700 3 Tahoma)"
  fi
  tw_reg_apply
  if [ "$depth" = 24 ]; then
    ts_traced_run 800 600 "$SEED" 300 "$trace" >&2 || { echo "0 0 0 0"; return; }
  fi
  # The first tick at which every actor lies wholly in the scene.
  tick=$(awk '{ inside = $4 >= 0 && $5 >= 0 && $4 + $6 <= 800 && $5 + $7 <= 600 }
    $1 != t { if (t && all) { print t; exit } t = $1; all = 1 }
    !inside { all = 0 }' "$trace")
  if [ -z "$tick" ] || ! ts_paused_shot 800 600 "$SEED" "$tick" "$shot" >&2 ||
     ! ts_same_run "$trace" "$shot.trace" "$tick"; then
    echo "0 0 0 0"
    return
  fi
  mean_masked "$shot" "$TW_WORK/still-$depth-7.png" |
    awk '{ if ($4 > 0) printf "%.0f %.0f %.0f %d\n", $1 / $4, $2 / $4, $3 / $4, $4; else print "0 0 0 0" }'
}

# colour_gap A B: the largest per-channel difference of two "R G B N" lines.
colour_gap() {
  awk -v a="$1" -v b="$2" 'BEGIN { split(a, x); split(b, y); m = 0
    for (i = 1; i <= 3; i++) { d = x[i] - y[i]; if (d < 0) d = -d; if (d > m) m = d }
    print m }'
}

declare -A REFERENCE
for depth in 24 16 8; do
  [ "$depth" = 24 ] || tw_display_restart "800x600x$depth"
  TS_WINDOW_SHOTS=$([ "$depth" = 8 ] && echo 1 || echo 0)
  echo "== $depth bits"
  for index in 0 3 7; do
    ts_config_reset
    [ "$depth" = 8 ] && ts_palette_display on
    ts_set FISHES dword 0
    ts_set DISPLAY dword "$index"
    tw_reg_apply
    want=$TW_WORK/want-$index.png
    still=$TW_WORK/still-$depth-$index.png
    [ -f "$want" ] || ts_expected "$index" 800 "$want"
    if ts_scene_start 800 600; then
      ts_scene_shot "$still"
      # The back surface takes the screen's own layout: 565 on a 16-bit Xvfb.
      [ "$depth" = 16 ] && tw_expect_eq "the back surface is 565 on a 16-bit screen" \
        "$(tw_log | grep -c 'pixel type 9, on a 16-bit screen')" 1
    else
      tw_fail "background $index on $depth bits: no scene"
    fi
    ts_scene_stop
    [ -f "$still" ] || continue
    cells=$(ts_region_deltas "$still" "$want" 4 4)
    read -r mean worst < <(awk '{ s += $1; if ($1 > m) m = $1 }
                                END { printf "%.2f %.2f\n", s / NR, m }' <<< "$cells")
    echo "background $index on $depth bits: mean difference $mean, cells" \
      "$(awk '{ printf "%.1f ", $1 }' <<< "$cells")"
    tw_expect_range "background $index on $depth bits is close to its picture (worst of 16 cells)" \
      "$worst" 0 "${MAX_CELL[$depth]}"
  done

  clown=$(sprite_colour "$depth" clown "$CLOWN" "Tidewater")
  echo "clown (masked sprite) on $depth bits: mean colour and pixels $clown"
  # The text's magenta shows.
  tw_expect_range "the text shows in its magenta on $depth bits (pixels)" \
    "$(ts_colour_box "$TW_WORK/clown-$depth.png" $MAGENTA 3 | cut -d' ' -f5)" 50 1000000
  dolphin=$(sprite_colour "$depth" dolphin "$DOLPHIN")
  echo "dolphin (keyed sprite) on $depth bits: mean colour and pixels $dolphin"
  if [ "$depth" = 24 ]; then
    REFERENCE[clown]=$clown
    REFERENCE[dolphin]=$dolphin
    tw_expect_range "the clown is seen whole on 24 bits (pixels)" \
      "$(cut -d' ' -f4 <<< "$clown")" 1000 10000000
    tw_expect_range "the dolphin is seen whole on 24 bits (pixels)" \
      "$(cut -d' ' -f4 <<< "$dolphin")" 1000 10000000
  else
    tw_expect_range "the clown's colours on $depth bits match 24 bits (largest channel gap)" \
      "$(colour_gap "$clown" "${REFERENCE[clown]}")" 0 "${MAX_SPRITE[$depth]}"
    tw_expect_range "the dolphin's colours on $depth bits match 24 bits (largest channel gap)" \
      "$(colour_gap "$dolphin" "${REFERENCE[dolphin]}")" 0 "${MAX_SPRITE[$depth]}"
  fi
done

tw_finish
