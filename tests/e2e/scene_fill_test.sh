#!/usr/bin/env bash
# "FILLSCREEN" on a 1920 x 1080 screen under Wine: with 1 the 1024 x 768
# scene is scaled to 1440 x 1080 at (240, 0) with black bars; the still
# picture is close to the stock picture scaled by ImageMagick's bilinear
# ("Triangle") filter; with every species swimming, a paused frame long after
# the start equals the still picture wherever no creature is (no seams where
# dirty rectangles meet, no trails). With 0 or absent, the centred 1:1 scene.
# The saver is DPI-aware.
set -u
source "$(dirname "$0")/../support/scene.sh"
tw_begin scene_fill 1920x1080x24
ts_stage_traced plain

want=$TW_WORK/want-0.png
ts_expected 0 1024 "$want"

# still FILL OUT: background 0 without fish, once the screen is steady: the
# scene's rectangle in OUT and the whole screen in OUT.screen.png.
still() {
  ts_config_reset
  ts_set FISHES dword 0
  ts_set DISPLAY dword 0
  [ "$1" = absent ] || ts_set FILLSCREEN dword "$1"
  tw_reg_apply
  ts_still_screen 1920 1080 "$2" ||
    tw_fail "the scene comes up and holds still with FILLSCREEN $1"
}

# placed NAME SHOT WANT: the bounding box of what is not black on the screen
# is WANT ("WxH+X+Y"), measured, not computed.
placed() {
  tw_expect_eq "$1: the scene's place and size on the screen" \
    "$(convert "$2" -format '%@' info:)" "$3"
}

# ---------------------------------------------------------------- filled

TS_FILL=1
filled=$TW_WORK/filled.png
still 1 "$filled"
placed "FILLSCREEN 1" "$filled.screen.png" 1440x1080+240+0
tw_expect_eq "the saver says where its view is" \
  "$(tw_log | grep -c 'view 0 at 240,0 1440x1080 on monitor 0,0 1920x1080')" 1
ts_black_around 1920 1080 "$filled.screen.png"
reference=$TW_WORK/reference.png
convert "$want" -filter Triangle -resize 1440x1080! "$reference"
delta=$(ts_mean_delta "$filled" "$reference")
echo "filled scene against ImageMagick's bilinear scaling: mean difference $delta per channel"
tw_expect_range "the filled scene is the picture scaled smoothly (mean difference per channel)" \
  "$delta" 0 1.5
convert "$want" -sample 1440x1080! "$TW_WORK/blocky.png"
blocky=$(ts_mean_delta "$filled" "$TW_WORK/blocky.png")
echo "filled scene against nearest-neighbour scaling: mean difference $blocky per channel"
tw_expect "and closer to it than to a blocky scaling ($delta < $blocky)" \
  awk -v a="$delta" -v b="$blocky" 'BEGIN { exit !(a < b) }'

# Every species over background 0, long after the start: outside the boxes of
# the creatures, their bubbles and the text (scaled, widened by what the
# filter reads), the frame is the still filled picture to the pixel.
ts_config_reset
ts_set FISHES dword 0x1FFFF
ts_set DISPLAY dword 0
ts_set FILLSCREEN dword 1
ts_set CUSTOMTEXT string "Tidewater"
tw_reg_apply
tick=750
shot=$TW_WORK/swimming.png
if ts_paused_shot 1920 1080 9 "$tick" "$shot"; then
  ts_scaled_boxes "$shot.trace" "$tick" 1024 768 1440 1080 > "$shot.boxes"
  tw_expect_range "creatures to mask out at tick $tick" "$(wc -l < "$shot.boxes")" 10 500
  tw_expect_eq "where no creature is, the frame is the still picture (differing pixels)" \
    "$(ts_differing_outside "$shot" "$filled" < "$shot.boxes")" 0
else
  tw_fail "a paused frame with every species"
fi

# ---------------------------------------------------------------- centred

TS_FILL=0
for value in 0 absent; do
  centred=$TW_WORK/centred-$value.png
  still "$value" "$centred"
  placed "FILLSCREEN $value" "$centred.screen.png" 1024x768+448+156
  tw_expect_eq "FILLSCREEN $value: no views" "$(tw_log | grep -c 'view 0 at')" 0
  ts_black_around 1920 1080 "$centred.screen.png"
  tw_expect_eq "FILLSCREEN $value: the scene is its picture, 1:1 (differing pixels)" \
    "$(ts_differing "$centred" "$want")" 0
done

# A scaled desktop gives the saver the screen's real pixels: it says it is
# DPI-aware in its manifest. (Wine gives every program real pixels, so this
# is read from the file.)
tw_expect "the saver's manifest declares it DPI-aware" \
  grep -q '<dpiAware[^>]*>true' <(wrestool -x --raw --type=24 "$TW_BUILD/bin/tidewater.scr" 2>/dev/null)

tw_finish
