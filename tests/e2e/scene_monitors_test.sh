#!/usr/bin/env bash
# Two monitors under Wine (a nested X server with two heads side by side: a
# 1280 x 1024 primary and a 1024 x 768 second one to its right): the
# full-screen window covers both, each shows the aquarium, centred at its
# own size or filled ("FILLSCREEN" 1), and a key, or a mouse move on the
# second monitor, ends the saver with 0.
set -u
source "$(dirname "$0")/../support/scene.sh"
tw_begin scene_monitors 2400x1100x24
tw_stage plain
tw_wine_stop  # the prefix's programs stay bound to the display they started on
tw_xephyr_start 1280x1024 1024x768 || { tw_fail "two monitors"; tw_finish; }
tw_monitors_setting

want=$TW_WORK/want-0.png
ts_expected 0 1024 "$want"
convert "$want" -filter Triangle -resize 1280x960! "$TW_WORK/want-0-filled.png"

# run FILL: the still scene of background 0 on both monitors; a screenshot of
# both in TW_WORK/both-FILL.png. Leaves the saver running.
run() {
  ts_config_reset
  ts_set FISHES dword 0
  ts_set DISPLAY dword 0
  ts_set FILLSCREEN dword "$1"
  tw_reg_apply
  TS_FILL=$1
  ts_scene_start 1280 1024 || tw_fail "the scene comes up on two monitors (FILLSCREEN $1)"
  tw_expect "a screenshot of both monitors" ts_shot "$TW_WORK/both-$1.png"
}

# area SHOT GEOMETRY OUT: a part of a screenshot.
area() { convert "$1" -crop "$2" +repage "$3"; }

for fill in 0 1; do
  run "$fill"
  shot=$TW_WORK/both-$fill.png
  tw_expect_eq "the window covers both monitors (FILLSCREEN $fill)" "$(tw_size "$shot")" "2304 1024"
  tw_expect_eq "a view on each monitor (FILLSCREEN $fill)" \
    "$(tw_log | grep -c -E 'view [01] at .* on monitor (0,0 1280x1024|1280,0 1024x768)')" 2
  # The second monitor is the scene's own size: the picture, 1:1, either way.
  area "$shot" 1024x768+1280+0 "$TW_WORK/second-$fill.png"
  tw_expect_eq "the second monitor shows the aquarium (differing pixels, FILLSCREEN $fill)" \
    "$(ts_differing "$TW_WORK/second-$fill.png" "$want")" 0
  area "$shot" "${TS_W}x$TS_H+$TS_X+$TS_Y" "$TW_WORK/first-$fill.png"
  if [ "$fill" = 0 ]; then
    tw_expect_eq "the primary shows the aquarium centred (differing pixels)" \
      "$(ts_differing "$TW_WORK/first-$fill.png" "$want")" 0
  else
    tw_expect_eq "the primary's filled scene lies at 0,32 1280x960" "$TS_X,$TS_Y ${TS_W}x$TS_H" \
      "0,32 1280x960"
    tw_expect_range "the primary shows the aquarium filled (mean difference per channel)" \
      "$(ts_mean_delta "$TW_WORK/first-$fill.png" "$TW_WORK/want-0-filled.png")" 0 1.5
  fi
  ts_black_around 1280 1024 "$(area "$shot" 1280x1024+0+0 "$TW_WORK/primary-$fill.png" &&
    echo "$TW_WORK/primary-$fill.png")"
  tw_key a
  tw_wait_exit 10
  tw_expect_eq "a key ends the saver with 0 (FILLSCREEN $fill)" "$TW_EXIT" 0
done

# A mouse move on the second monitor.
tw_mouse_to 1700 400
run 0
tw_mouse_by 20 20
tw_wait_exit 10
tw_expect_eq "a mouse move on the second monitor ends the saver with 0" "$TW_EXIT" 0

tw_finish
