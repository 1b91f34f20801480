#!/usr/bin/env bash
# "FILLSCREEN" 2, edge to edge, under Wine: on 1920 x 1080, 2560 x 1080,
# 1920 x 1200 and 1280 x 1024 screens the scene takes the screen's shape
# (768 high, as wide as the aspect asks) and covers it: every row and every
# column of each screenshot holds pixels of the scene. The still scene is the
# stock picture cropped to that shape and scaled smoothly; with every species
# swimming, a paused frame equals it wherever no creature is (no seams, no
# trails); on the 21:9 screen the creatures reach both of its outer edges.
set -u
source "$(dirname "$0")/../support/scene.sh"
tw_begin scene_edge 1920x1080x24
ts_stage_traced plain
TS_FILL=2

# covered NAME SHOT: no row and no column of the screenshot is black all over.
covered() {
  local w h rows cols
  read -r w h < <(identify -format '%w %h\n' "$2")
  rows=$(convert "$2" -grayscale Brightness -threshold 0 -scale "1x$h!" -format '%[fx:minima>0]' info:)
  cols=$(convert "$2" -grayscale Brightness -threshold 0 -scale "${w}x1!" -format '%[fx:minima>0]' info:)
  tw_expect_eq "$1: every row and every column holds the scene" "$rows $cols" "1 1"
}

# back_surface W H: the saver said its scene is W x H.
back_surface() {
  tw_expect_eq "the scene is ${1}x$2 on a ${TS_W}x$TS_H screen" \
    "$(tw_log | grep -c "back surface ${1}x$2,")" 1
}

# still SCREEN_W SCREEN_H OUT: background 7 (no overlays) without creatures,
# the whole screen once steady.
still() {
  ts_config_reset
  ts_set FISHES dword 0
  ts_set DISPLAY dword 7
  ts_set FILLSCREEN dword 2
  tw_reg_apply
  ts_still_screen "$1" "$2" "$3" || tw_fail "the scene comes up and holds still on ${1}x$2"
}

# expected SCREEN_W SCREEN_H OUT: the stock picture cropped to the scene's
# shape, keeping its floor, and scaled smoothly to the screen.
expected() { ts_cover_art 12L "$TS_SCENE_W" "$TS_SCENE_H" "$1" "$2" "$3"; }

for screen in 1920x1080 2560x1080 1920x1200 1280x1024; do
  read -r sw sh <<< "${screen/x/ }"
  [ "$screen" = 1920x1080 ] || tw_display_restart "${screen}x24"
  ts_scene_geometry "$sw" "$sh"
  shot=$TW_WORK/still-$screen.png
  still "$sw" "$sh" "$shot"
  back_surface "$TS_SCENE_W" 768
  covered "still scene on $screen" "$shot"
  expected "$sw" "$sh" "$TW_WORK/want-$screen.png"
  delta=$(ts_mean_delta "$shot" "$TW_WORK/want-$screen.png")
  echo "$screen: the still scene against the picture cropped and scaled by ImageMagick: $delta"
  tw_expect_range "$screen: the still scene is the stock picture, cropped and scaled smoothly" \
    "$delta" 0 2.5
  [ "$screen" = 2560x1080 ] || continue

  # The 21:9 screen: creatures at both outer edges of the scene over the run,
  # a screen covered while they swim, and the still parts of a paused frame
  # the still picture to the pixel.
  ts_config_reset
  ts_set FISHES dword 0x1FFFF
  ts_set DISPLAY dword 7
  ts_set FILLSCREEN dword 2
  ts_set CUSTOMTEXT string "Tidewater"
  tw_reg_apply
  trace=$TW_WORK/run-$screen.trace
  ticks=2000
  if ts_traced_run "$sw" "$sh" 5 "$ticks" "$trace"; then
    edges=$(awk -v w="$TS_SCENE_W" '$3 == "fish" && $9 != 0 {
        if ($4 <= 0 && $4 + $6 > 0) left = 1
        if ($4 < w && $4 + $6 >= w) right = 1 }
      END { print left + 0, right + 0 }' "$trace")
    tw_expect_eq "creatures reach both outer edges of the ${TS_SCENE_W}-wide scene in $ticks ticks" \
      "$edges" "1 1"
  else
    tw_fail "a traced run of $ticks ticks on $screen"
  fi
  tick=600
  paused=$TW_WORK/swimming-$screen.png
  if ts_paused_shot "$sw" "$sh" 9 "$tick" "$paused"; then
    covered "a frame with every species on $screen" "$paused"
    ts_moving_boxes "$paused.trace" "$tick" |
      awk -v sx="$sw" -v sy="$sh" -v w="$TS_SCENE_W" -v h="$TS_SCENE_H" '
        { l = int($1 * sx / w) - 3; t = int($2 * sy / h) - 3
          printf "%d %d %d %d\n", l, t, l + int($3 * sx / w) + 7, t + int($4 * sy / h) + 7 }' \
      > "$paused.boxes"
    tw_expect_range "creatures to mask out at tick $tick" "$(wc -l < "$paused.boxes")" 10 500
    tw_expect_eq "where no creature is, the frame is the still picture (differing pixels)" \
      "$(ts_differing_outside "$paused" "$shot" < "$paused.boxes")" 0
  else
    tw_fail "a paused frame with every species on $screen"
  fi
done

tw_finish
