#!/usr/bin/env bash
# The settings program's picture box on a 16:9 screen: with "Actual size" or
# "Whole picture with bars" it shows the chosen stock scene filling the box;
# with "Edge to edge" it shows what the saver puts on the primary monitor: a
# band of the monitor's shape, the stock picture (its wide form when the
# library has one) cropped to that shape with its floor kept. Chosen by
# keyboard; Cancel keeps the stored fill.
set -u
source "$(dirname "$0")/../support/settings.sh"
tw_begin settings_picture_shape 1920x1080x24
st_stage
tw_reg_drop HKCU "$TW_CONFIG_KEY"
ts_set DISPLAY dword 3
ts_set FILLSCREEN dword 0
tw_reg_apply

# The picture box in dialog units, and a point of plain dialog beside it.
BOX="172 37 100 75"
PLAIN="300 60"
# The scene edge to edge on this screen: 768 high, its width by the aspect.
SCENE_W=$(( (768 * 1920 + 540) / 1080 ))

# band SHOT OUT: the picture box's inside cut from SHOT, trimmed of the
# dialog's plain colour; prints its "W H X Y" within the inside and the
# inside's "W H", and saves the band as OUT.
band() {
  local x0 y0 x1 y1 face w h g
  read -r x0 y0 < <(st_at 172 37)
  read -r x1 y1 < <(st_at 272 112)
  face=$(tw_pixel "$1" $(st_at $PLAIN) | tr ' ' ,)
  # One pixel of frame on each side, a second for the rounding of units.
  w=$((x1 - x0 - 4)) h=$((y1 - y0 - 4))
  convert "$1" -crop "${w}x$h+$((x0 + 2))+$((y0 + 2))" +repage "$TW_WORK/inside.png"
  read -r g < <(convert "$TW_WORK/inside.png" -bordercolor "rgb($face)" -border 1 -fuzz 3% \
                  -format '%@\n' info:)
  local bw bh bx by
  IFS='x+' read -r bw bh bx by <<< "$g"
  bx=$((bx - 1)) by=$((by - 1))
  convert "$TW_WORK/inside.png" -crop "${bw}x$bh+$bx+$by" +repage "$2"
  echo "$bw $bh $bx $by $w $h"
}

# shot NAME: the screen once the dialog has repainted its picture box.
shot() {
  sleep 1
  tw_screenshot "$TW_WORK/$1.png"
}

if ! st_start -t; then
  tw_fail "the dialog comes up"
  tw_finish
fi
st_dialog_shot "$TW_WORK/dialog.png"

shot actual
read -r bw bh bx by w h < <(band "$TW_WORK/actual.png" "$TW_WORK/actual-band.png")
tw_expect_eq "actual size: the scene fills the picture box" "$bw $bh" "$w $h"

tw_key alt+i Home  # edge to edge
shot edge
read -r bw bh bx by w h < <(band "$TW_WORK/edge.png" "$TW_WORK/edge-band.png")
echo "edge to edge: a band of ${bw}x$bh at $bx,$by in the ${w}x$h box"
tw_expect_eq "edge to edge: the band spans the box's width" "$bw" "$w"
# The monitor's shape, to the pixel the rounding of a small band allows.
want_h=$(( (w * 768 + SCENE_W / 2) / SCENE_W ))
tw_expect_range "edge to edge: the band has the monitor's shape (height for ${bw} wide)" \
  "$bh" $((want_h - 2)) $((want_h + 2))
tw_expect_range "edge to edge: the band sits in the middle (space above less below)" \
  $((2 * by + bh - h)) -3 3
ts_cover_art 06L "$SCENE_W" 768 "$bw" "$bh" "$TW_WORK/want-floor.png"
ts_cover_art 06L "$SCENE_W" 768 "$bw" "$bh" "$TW_WORK/want-top.png" top
floor=$(ts_mean_delta "$TW_WORK/edge-band.png" "$TW_WORK/want-floor.png")
top=$(ts_mean_delta "$TW_WORK/edge-band.png" "$TW_WORK/want-top.png")
echo "the band against the picture cropped at its floor: $floor, at its top: $top"
tw_expect_range "edge to edge: the band is the stock picture cropped to the monitor's shape" \
  "$floor" 0 8
tw_expect "and the crop keeps the floor, not the top" \
  awk -v f="$floor" -v t="$top" 'BEGIN { exit !(f * 2 < t) }'

tw_key alt+i Down  # whole picture with bars
shot bars
read -r bw bh bx by w h < <(band "$TW_WORK/bars.png" "$TW_WORK/bars-band.png")
tw_expect_eq "whole picture with bars: the scene fills the picture box" "$bw $bh" "$w $h"

st_click 229 298 50 14  # Cancel
tw_wait_exit 10
tw_expect_eq "Cancel: the program ends with 0" "$TW_EXIT" 0
st_expect_values FILLSCREEN "REG_DWORD 0x0"
tw_finish
