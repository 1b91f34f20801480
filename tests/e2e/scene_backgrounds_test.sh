#!/usr/bin/env bash
# The still scene under Wine (FISHES = 0, so nothing moves): where the
# logical scene lies on screens of several sizes (centred with black around
# it on larger screens, at the origin on its own size), and every stock
# background in every size shown as its picture with overlay A and overlay B
# drawn over it, compared pixel for pixel with the pictures decoded from the
# resource library by the host rera tool.
set -u
source "$(dirname "$0")/../support/scene.sh"
tw_begin scene_backgrounds 1280x1024x24
tw_stage plain
ts_config_reset
ts_set FISHES dword 0
tw_reg_apply

# Pixels of a 24-bit scene allowed to differ from the composed picture: the
# scene is an exact copy, so this only absorbs a stray pixel or two.
max_differing() { echo $(( $1 * $2 / 2000 )); }

# still_scene SCREEN_W SCREEN_H INDEX: background INDEX on that screen,
# compared with its picture and overlays.
still_scene() {
  local sw=$1 sh=$2 index=$3 root scene want n
  ts_set DISPLAY dword "$index"
  tw_reg_apply
  if ! ts_scene_start "$sw" "$sh"; then
    tw_fail "background $index on ${sw}x$sh: no scene drawn"
    ts_scene_stop
    return
  fi
  root=$TW_WORK/root-${sw}x$sh-$index.png
  scene=$TW_WORK/scene-${sw}x$sh-$index.png
  want=$TW_WORK/want-$TS_W-$index.png
  ts_shot "$root"
  ts_scene_stop
  convert "$root" -crop "${TS_W}x${TS_H}+${TS_X}+${TS_Y}" +repage "$scene"
  ts_expected "$index" "$TS_W" "$want"
  n=$(ts_differing "$scene" "$want")
  tw_expect_range "background $index ($TS_BG) at ($TS_X, $TS_Y) on ${sw}x$sh: pixels unlike it" \
    "$n" 0 "$(max_differing "$TS_W" "$TS_H")"
  # The overlays are really there: without them the picture would not match.
  if [ -n "$TS_OVERLAY_A" ]; then
    n=$(ts_differing "$scene" "$(ts_art "$TS_BG")")
    tw_expect_range "background $index at $TS_W shows its overlays" "$n" 1000 $((TS_W * TS_H))
  fi
  [ "${CHECK_BLACK:-0}" = 1 ] && ts_black_around "$sw" "$sh" "$root"
  return 0
}

# The places the comparisons below crop the screenshots at.
geometry() { ts_scene_geometry "$1" "$2"; echo "${TS_W}x$TS_H at ($TS_X, $TS_Y)"; }
tw_expect_eq "a 1280x1024 screen: the large scene centred" "$(geometry 1280 1024)" \
  "1024x768 at (128, 128)"
tw_expect_eq "an 800x600 screen: its own size" "$(geometry 800 600)" "800x600 at (0, 0)"
tw_expect_eq "a 640x480 screen: its own size" "$(geometry 640 480)" "640x480 at (0, 0)"
tw_expect_eq "a 700x500 screen: the small scene centred" "$(geometry 700 500)" "640x480 at (30, 10)"

# 1280 x 1024: the large scene, centred at (128, 128), black around it.
for index in 0 1 2 3 4 5 6 7; do
  CHECK_BLACK=$([ "$index" = 0 ] && echo 1 || echo 0) still_scene 1280 1024 "$index"
done

tw_display_restart 800x600x24
for index in 0 1 2 3 4 5 6 7; do still_scene 800 600 "$index"; done

tw_display_restart 640x480x24
for index in 0 1 2 3 4 5 6 7; do still_scene 640 480 "$index"; done

# 700 x 500: the small scene at (30, 10), black around it.
tw_display_restart 700x500x24
CHECK_BLACK=1 still_scene 700 500 3

tw_finish
