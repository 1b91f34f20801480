#!/usr/bin/env bash
# Edge to edge on two monitors of different shapes under Wine (a nested X
# server: a 1920 x 1080 primary and a 1280 x 1024 monitor to its right):
# each monitor is covered edge to edge; with "SAMESCENE" absent each runs an
# aquarium of its own (a scene of its shape, its own creatures), with 1 the
# primary's scene is mirrored on both, and any other value of it reads as
# absent; a key, or a mouse move on the second monitor, ends the saver with 0.
#
# Own or mirrored is told from where the creatures are: the creatures of each
# monitor are what differs from its still picture; the middle of the
# primary's scene, brought to the second monitor's shape and size, puts its
# creatures where a mirror shows them.
set -u
source "$(dirname "$0")/../support/scene.sh"
tw_begin scene_edge_monitors 3300x1200x24
tw_stage plain
tw_wine_stop  # the prefix's programs stay bound to the display they started on
tw_xephyr_start 1920x1080 1280x1024 || { tw_fail "two monitors"; tw_finish; }
tw_monitors_setting
TS_FILL=2
primary=1920x1080+0+0
second=1280x1024+1920+0
# The second monitor's 5:4 shape in the primary's 16:9 scene (1365 x 768):
# its middle 960 of 1365 columns, 1350 of the primary's 1920 pixels.
mirrored=1350x1080+285+0

# shot SAME FISHES OUT: the two monitors of a run with that "SAMESCENE" and
# "FISHES", background 7 (no overlays), once the screen holds still; the
# saver's log in OUT.log. With creatures the screen never holds still: the
# shot is taken two seconds in.
shot() {
  ts_config_reset
  ts_set FISHES dword "$2"
  ts_set DISPLAY dword 7
  ts_set FILLSCREEN dword 2
  [ "$1" = absent ] || ts_set SAMESCENE dword "$1"
  tw_reg_apply
  if ! ts_scene_start 1920 1080; then
    tw_fail "the scene comes up on two monitors (SAMESCENE $1, FISHES $2)"
    return 1
  fi
  if [ "$2" = 0 ]; then
    ts_steady_shot "$3.xwd" || tw_fail "the still scene holds still (SAMESCENE $1)"
  else
    sleep 2
    ts_shot "$3.xwd"
  fi
  convert "$3.xwd" -crop "$primary" +repage "$3.primary.png"
  convert "$3.xwd" -crop "$second" +repage "$3.second.png"
  ts_scene_stop
  tw_expect_eq "the saver ends with 0 on a key (SAMESCENE $1, FISHES $2)" "$TW_EXIT" 0
  cp "$TW_LOG" "$3.log"
}

# creatures SWIMMING STILL OUT: white where the two pictures differ (the
# creatures), black elsewhere.
creatures() {
  compare -fuzz 6% "$1" "$2" -compose Src -highlight-color white -lowlight-color black \
    "$3" 2>/dev/null
  [ -f "$3" ]
}

# overlap A B: the share of the white pixels of either mask that are white in
# both, 0 to 1.
overlap() {
  convert "$1" "$2" -compose Multiply -composite -format '%[fx:mean]' info: > "$TW_WORK/.both"
  convert "$1" "$2" -compose Lighten -composite -format '%[fx:mean]' info: > "$TW_WORK/.either"
  awk -v b="$(cat "$TW_WORK/.both")" -v e="$(cat "$TW_WORK/.either")" \
    'BEGIN { printf "%.3f\n", (e > 0 ? b / e : 0) }'
}

for same in absent 1; do
  still=$TW_WORK/still-$same
  swim=$TW_WORK/swim-$same
  shot "$same" 0 "$still" || continue
  ts_covered "the primary, still (SAMESCENE $same)" "$still.primary.png"
  ts_covered "the second monitor, still (SAMESCENE $same)" "$still.second.png"
  shot "$same" 0x1FFFF "$swim" || continue
  ts_covered "the primary with every species (SAMESCENE $same)" "$swim.primary.png"
  ts_covered "the second monitor with every species (SAMESCENE $same)" "$swim.second.png"
  creatures "$swim.primary.png" "$still.primary.png" "$TW_WORK/creatures-$same-primary.png"
  creatures "$swim.second.png" "$still.second.png" "$TW_WORK/creatures-$same-second.png"
  convert "$TW_WORK/creatures-$same-primary.png" -crop "$mirrored" +repage \
    -resize 1280x1024! -threshold 50% "$TW_WORK/creatures-$same-mirrored.png"
  share=$(overlap "$TW_WORK/creatures-$same-mirrored.png" "$TW_WORK/creatures-$same-second.png")
  echo "SAMESCENE $same: the second monitor's creatures where a mirror puts them: $share"
  scenes=$(grep -c 'monitor scene 1280x1024 (scale 1024/768) over stock scene 7' "$swim.log")
  if [ "$same" = absent ]; then
    tw_expect_eq "the second monitor runs a 960 x 768 scene of its own, at its own pixels" \
      "$scenes" 1
    tw_expect_range "its creatures are its own, not a mirror's (shared share)" "$share" 0 0.25
  else
    tw_expect_eq "SAMESCENE 1: no scene of its own" "$scenes" 0
    tw_expect_range "SAMESCENE 1: the second monitor mirrors the primary (shared share)" \
      "$share" 0.6 1
  fi
done

# "SAMESCENE" of the wrong type or out of range reads as absent: the second
# monitor runs a scene of its own.
for bad in "string 1" "dword 0xFFFFFFFF"; do
  ts_config_reset
  ts_set FISHES dword 0x1FFFF
  ts_set DISPLAY dword 7
  ts_set FILLSCREEN dword 2
  ts_set SAMESCENE $bad
  tw_reg_apply
  if ts_scene_start 1920 1080; then
    ts_scene_stop
    tw_expect_eq "SAMESCENE $bad: the second monitor runs a scene of its own" \
      "$(tw_log | grep -c 'monitor scene 1280x1024 (scale 1024/768)')" 1
  else
    tw_fail "the scene comes up on two monitors (SAMESCENE $bad)"
  fi
done

# A mouse move on the second monitor ends it too.
ts_config_reset
ts_set FISHES dword 0x1FFFF
ts_set FILLSCREEN dword 2
tw_reg_apply
tw_mouse_to 2500 500
if ts_scene_start 1920 1080; then
  tw_mouse_by 20 20
  tw_wait_exit 10
  tw_expect_eq "a mouse move on the second monitor ends the saver with 0" "$TW_EXIT" 0
else
  tw_fail "the scene comes up on two monitors with a random background"
fi

tw_finish
