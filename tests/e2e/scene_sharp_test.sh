#!/usr/bin/env bash
# Edge to edge on a 3840 x 2160 screen under Wine: the scene (1365 x 768
# design units) is composed at twice its pixels from the art drawn at twice
# the size, then scaled smoothly to the screen.
#
# The background is the twice-size picture: the still screen's mean
# difference against that picture cropped and scaled once by ImageMagick is
# small, and its mean gradient energy (the mean of dx^2 + dy^2 over the grey
# levels of neighbouring pixels) is well above that of the 1x picture
# enlarged bilinearly to the screen, which is what the scene showed before.
#
# A creature's frame on the screen is its twice-size frame: a paused frame
# of the turtle matches the 2x frame drawn on the 2x scene and scaled to the
# screen far better than the 1x frame enlarged in its place. The text line
# and the clock are drawn in fonts of twice the pixels.
set -u
source "$(dirname "$0")/../support/scene.sh"
tw_begin scene_sharp 3840x2160x24
ts_stage_traced plain
TS_FILL=2
ts_scene_geometry 3840 2160

# energy PICTURE: the mean gradient energy of its grey levels (0..255).
energy() {
  convert "$1" -colorspace Gray -depth 8 \
    \( -clone 0 -roll +1+0 \) \( -clone 0 -roll +0+1 \) \
    \( -clone 0 -clone 1 -compose Difference -composite -evaluate Pow 2 \) \
    \( -clone 0 -clone 2 -compose Difference -composite -evaluate Pow 2 \) \
    -delete 0-2 -compose Plus -composite -format '%[fx:mean]' info: |
    awk '{ printf "%.2f\n", $1 * 65025 }'
}

# configure FISHES [NAME TYPE VALUE]...: background 7 (no overlays) edge to
# edge, with those creatures and settings.
configure() {
  ts_config_reset
  ts_set FISHES dword "$1"
  ts_set DISPLAY dword 7
  ts_set FILLSCREEN dword 2
  shift
  while [ $# -ge 3 ]; do
    ts_set "$1" "$2" "$3"
    shift 3
  done
  tw_reg_apply
}

# The still scene, no creatures.
configure 0
still=$TW_WORK/still.png
if ts_still_screen 3840 2160 "$still"; then
  tw_expect_eq "the scene is 2730 x 1536 pixels, from the art at twice the size" \
    "$(tw_log | grep -c 'back surface 2730x1536,.*scale 2/1$')" 1
  ts_covered "the still scene on 3840 x 2160" "$still"
  ts_cover_art 12LW@2 1365 768 3840 2160 "$TW_WORK/want-2x.png"
  ts_cover_art 12LW 1365 768 3840 2160 "$TW_WORK/enlarged-1x.png"
  delta=$(ts_mean_delta "$still" "$TW_WORK/want-2x.png")
  echo "mean difference against the 2x picture scaled by ImageMagick: $delta"
  tw_expect_range "the background is the 2x picture, cropped and scaled once (mean difference)" \
    "$delta" 0 2.5
  shown=$(energy "$still")
  sharp=$(energy "$TW_WORK/want-2x.png")
  soft=$(energy "$TW_WORK/enlarged-1x.png")
  echo "gradient energy: screen $shown, 2x picture scaled $sharp, 1x picture enlarged $soft"
  tw_expect_range "the screen is sharper than the 1x picture enlarged (energy ratio)" \
    "$(awk -v a="$shown" -v b="$soft" 'BEGIN { printf "%.2f\n", a / b }')" 1.4 100
  tw_expect_range "the screen is as sharp as the 2x picture scaled (energy ratio)" \
    "$(awk -v a="$shown" -v b="$sharp" 'BEGIN { printf "%.2f\n", a / b }')" 0.85 1.15
else
  tw_fail "the still scene comes up on 3840 x 2160"
fi

# The turtle (keyed at both sizes) paused at a tick where it is wholly inside
# the scene.
configure 0x2
tick=8
paused=$TW_WORK/turtle.png
if ts_paused_shot 3840 2160 5 "$tick" "$paused"; then
  read -r x y w h frame mirrored < <(awk -v t="$tick" '$1 == t && $3 == "fish" {
      print $4, $5, $6, $7, $8, $11 }' "$paused.trace")
  tw_expect_eq "the turtle is wholly inside the scene at tick $tick" \
    "$(( x >= 0 && y >= 0 && x + w <= 1365 && y + h <= 768 ))" 1
  flop=()
  [ "$mirrored" = 1 ] && flop=(-flop)
  twice=$(ts_art LOGGERHEAD@2) && once=$(ts_art LOGGERHEAD) || tw_fail "the turtle's strips"
  ts_cover_art 12LW@2 1365 768 2730 1536 "$TW_WORK/scene-2x.png"
  # The 2x frame drawn on the 2x scene, and the 1x frame enlarged in its place.
  convert "$TW_WORK/scene-2x.png" \
    \( "$twice" -crop "$((2 * w))x$((2 * h))+0+$((2 * h * frame))" +repage "${flop[@]}" \) \
    -geometry "+$((2 * x))+$((2 * y))" -composite \
    -filter Triangle -resize 3840x2160! "$TW_WORK/want-turtle.png"
  convert "$TW_WORK/scene-2x.png" \
    \( "$once" -crop "${w}x$h+0+$((h * frame))" +repage "${flop[@]}" \
       -filter Triangle -resize "$((2 * w))x$((2 * h))!" \) \
    -geometry "+$((2 * x))+$((2 * y))" -composite \
    -filter Triangle -resize 3840x2160! "$TW_WORK/enlarged-turtle.png"
  box="$((w * 3840 / 1365))x$((h * 2160 / 768))+$((x * 3840 / 1365))+$((y * 2160 / 768))"
  near=$(ts_mean_delta "$paused" "$TW_WORK/want-turtle.png" "$box")
  far=$(ts_mean_delta "$paused" "$TW_WORK/enlarged-turtle.png" "$box")
  echo "the turtle's box $box: against its 2x frame $near, against its 1x frame enlarged $far"
  tw_expect_range "the turtle on screen is its 2x frame, scaled (mean difference)" "$near" 0 3
  tw_expect_range "its 2x frame matches at most half as badly as the 1x frame enlarged" \
    "$(awk -v a="$near" -v b="$far" 'BEGIN { printf "%.2f\n", (b > 0 ? a / b : 1) }')" 0 0.5
else
  tw_fail "a paused frame of the turtle on 3840 x 2160"
fi

# The text line and the clock are drawn in fonts of twice the pixels: their
# boxes, in design units, are as large as the same fonts make them at 1x
# ("Tidewater" in bold 32-pixel Tahoma some 180 units wide, not 90; the
# clock's line some 37 units high, not 19), and hold their pixels.
configure 0 CUSTOMTEXT string "Tidewater" FONTCOLOR dword 0x00FFFF \
  FONT string "$(ts_font_hex -32 700 3 Tahoma)" CLOCK dword 1
tick=20
lines=$TW_WORK/lines.png
if ts_paused_shot 3840 2160 3 "$tick" "$lines"; then
  for kind in text clock; do
    read -r x y w h < <(awk -v t="$tick" -v k="$kind" '$1 == t && $3 == k {
        print $4, $5, $6, $7 }' "$lines.trace")
    if [ "$kind" = text ]; then
      tw_expect_range "the text is as wide as its font makes it at 1x (design units)" \
        "${w:-0}" 140 230
    else
      tw_expect_range "the clock is as high as its font makes it at 1x (design units)" \
        "${h:-0}" 30 56
    fi
    x=$(( x < 0 ? 0 : x ))
    box="$((w * 3840 / 1365))x$((h * 2160 / 768))+$((x * 3840 / 1365))+$((y * 2160 / 768))"
    tw_expect_range "the $kind is drawn in its box (mean difference from the still scene)" \
      "$(ts_mean_delta "$lines" "$still" "$box")" 3 255
  done
else
  tw_fail "a paused frame with the text and the clock on 3840 x 2160"
fi

tw_finish
