#!/usr/bin/env bash
# "FILLSCREEN" 2, edge to edge, under Wine: on 1920 x 1080, 2560 x 1080,
# 1920 x 1200 and 1280 x 1024 screens the scene takes the screen's shape
# (768 high, as wide as the aspect asks) and covers it: every row and every
# column of each screenshot holds pixels of the scene. These screens are more
# than 1.25 x 768 high, so the scene is composed at the screen's own pixels
# from the art drawn at twice the size, resampled once. The still scene is the
# twice-size stock picture cropped to that shape and scaled smoothly; with
# every species
# swimming, a paused frame equals it wherever no creature is (no seams, no
# trails); on the 21:9 screen the creatures reach both of its outer edges.
# The user's picture of an odd shape covers the screen, cropped in its
# middle; an older library, without the wide pictures and the twice-size art,
# gives the 4:3 picture, enlarged and cropped at its floor; "FILLSCREEN" of
# the wrong type or out of range is the centred
# scene; an 8-bit screen is covered too, from the one palette. The saver is
# large-address aware.
set -u
source "$(dirname "$0")/../support/scene.sh"
tw_begin scene_edge 1920x1080x24
ts_stage_traced plain
TS_FILL=2

# back_surface W H SCALE: the saver said its scene is W x H pixels at SCALE
# ("N/D") pixels to the design unit.
back_surface() {
  tw_expect_eq "the scene is ${1}x$2 pixels at $3 a unit on a ${TS_W}x$TS_H screen" \
    "$(tw_log | grep -c "back surface ${1}x$2,.*scale $3\$")" 1
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

# expected SCREEN_W SCREEN_H OUT: the stock picture's wide form at twice the
# size cropped to the scene's shape, keeping its floor, and scaled smoothly
# to the screen.
expected() { ts_cover_art 12LW@2 "$TS_SCENE_W" "$TS_SCENE_H" "$1" "$2" "$3"; }

# narrow_library SCREEN_W SCREEN_H: an older library, without the wide
# pictures and the art at twice the size, is still edge to edge: composed at
# 1x, the 4:3 picture enlarged and cropped keeping its floor (on a screen
# wider than 4:3, where that differs).
narrow_library() {
  ts_reduced_library "$TW_WORK/narrow.dll" 12LW '*@2'
  ts_stage_traced narrow
  rm -f "$TW_STAGE/ReraDOR.dll"
  cp "$TW_WORK/narrow.dll" "$TW_STAGE/ReraDOR.dll"
  ts_config_reset
  ts_set FISHES dword 0
  ts_set DISPLAY dword 7
  ts_set FILLSCREEN dword 2
  tw_reg_apply
  if ts_still_screen "$1" "$2" "$TW_WORK/narrow.png"; then
    back_surface "$TS_SCENE_W" 768 1/1
    ts_covered "a library without the wide pictures" "$TW_WORK/narrow.png"
    ts_cover_art 12L "$TS_SCENE_W" "$TS_SCENE_H" "$1" "$2" "$TW_WORK/want-narrow.png"
    tw_expect_range "without the wide pictures: the 4:3 picture cropped at its floor (mean difference)" \
      "$(ts_mean_delta "$TW_WORK/narrow.png" "$TW_WORK/want-narrow.png")" 0 2.5
  else
    tw_fail "a library without the wide pictures: the scene comes up"
  fi
  ts_stage_traced plain
}

for screen in 1920x1080 2560x1080 1920x1200 1280x1024; do
  read -r sw sh <<< "${screen/x/ }"
  [ "$screen" = 1920x1080 ] || tw_display_restart "${screen}x24"
  ts_scene_geometry "$sw" "$sh"
  shot=$TW_WORK/still-$screen.png
  still "$sw" "$sh" "$shot"
  back_surface "$sw" "$sh" "$sh/768"
  ts_covered "still scene on $screen" "$shot"
  expected "$sw" "$sh" "$TW_WORK/want-$screen.png"
  delta=$(ts_mean_delta "$shot" "$TW_WORK/want-$screen.png")
  echo "$screen: the still scene against the picture cropped and scaled by ImageMagick: $delta"
  tw_expect_range "$screen: the still scene is the twice-size picture, cropped and scaled smoothly" \
    "$delta" 0 2.5
  [ "$screen" = 1920x1080 ] && narrow_library "$sw" "$sh"
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
    ts_covered "a frame with every species on $screen" "$paused"
    ts_scaled_boxes "$paused.trace" "$tick" "$TS_SCENE_W" "$TS_SCENE_H" "$sw" "$sh" \
      > "$paused.boxes"
    tw_expect_range "creatures to mask out at tick $tick" "$(wc -l < "$paused.boxes")" 10 500
    tw_expect_eq "where no creature is, the frame is the still picture (differing pixels)" \
      "$(ts_differing_outside "$paused" "$shot" < "$paused.boxes")" 0
  else
    tw_fail "a paused frame with every species on $screen"
  fi
done

# ---------------------------------------------------------------- the screen is now 1280 x 1024

# The user's picture, 37 x 300: the middle rows with the scene's shape (5:4,
# 960 x 768: 37 x 30 from row 135), stretched to the scene, then scaled smoothly
# to the screen.
picture=$TW_WORK/tall.png
convert -size 37x300 gradient:'#ff4000-#0040ff' -fill white -draw 'rectangle 5,140 30,150' \
  -alpha off -depth 8 "$picture"
convert "$picture" -type TrueColor BMP3:"$TW_WORK/tall.bmp"
ts_config_reset
ts_set FISHES dword 0
ts_set DISPLAY dword 8
ts_set CUSTOMFILE string "$(tw_winpath "$TW_WORK/tall.bmp")"
ts_set FILLSCREEN dword 2
tw_reg_apply
custom=$TW_WORK/custom.png
if ts_still_screen 1280 1024 "$custom"; then
  ts_covered "a 37 x 300 picture of the user's" "$custom"
  convert "$picture" -crop 37x30+0+135 +repage -sample 960x768! -filter Triangle \
    -resize 1280x1024! "$TW_WORK/want-custom.png"
  worst=$(ts_region_deltas "$custom" "$TW_WORK/want-custom.png" 4 4 | sort -g | tail -n 1)
  tw_expect_range "the user's picture is cropped in its middle to the screen's shape (worst cell)" \
    "$worst" 0 6
else
  tw_fail "the user's picture comes up edge to edge"
fi

# Bad values: the centred scene at its own size, no views.
for bad in "dword 0xFFFFFFFF" "dword 3" "string 2"; do
  ts_config_reset
  ts_set FISHES dword 0
  ts_set DISPLAY dword 7
  ts_set FILLSCREEN $bad
  tw_reg_apply
  TS_FILL=0 ts_scene_geometry 1280 1024
  if TS_FILL=0 ts_still_screen 1280 1024 "$TW_WORK/bad.png"; then
    tw_expect_eq "FILLSCREEN $bad: the centred scene" \
      "$(tw_log | grep -c 'back surface 1024x768,') $(tw_log | grep -c 'view 0 at')" "1 0"
  else
    tw_fail "FILLSCREEN $bad: the scene comes up"
  fi
done

# An 8-bit screen: edge to edge from the one palette.
tw_display_restart 1280x1024x8
ts_palette_display on
TS_WINDOW_SHOTS=1
ts_config_reset
ts_set FISHES dword 0x1FFFF
ts_set DISPLAY dword 0
ts_set FILLSCREEN dword 2
tw_reg_apply
if ts_scene_start 1280 1024 && ts_shot "$TW_WORK/eight.png"; then
  ts_covered "an 8-bit screen" "$TW_WORK/eight.png"
  tw_expect_eq "the 8-bit scene is 960 x 768 in palette indices" \
    "$(tw_log | grep -c 'back surface 960x768, pixel type 4,')" 1
else
  tw_fail "the scene comes up edge to edge on an 8-bit screen"
fi
ts_scene_stop

tw_expect_eq "the saver is large-address aware" "$(python3 -c '
import struct, sys
d = open(sys.argv[1], "rb").read()
pe = struct.unpack_from("<I", d, 0x3C)[0]
print(struct.unpack_from("<H", d, pe + 22)[0] >> 5 & 1)' "$TW_BUILD/bin/$TW_SAVER_NAME")" 1

tw_finish
