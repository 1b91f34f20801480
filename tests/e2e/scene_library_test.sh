#!/usr/bin/env bash
# The resource library under Wine (640 x 480): with no "DATAPATH" and no
# library beside the saver, a data directory without it, or a corrupt,
# truncated or foreign file in its place, full screen shows exactly one
# warning box "Unable to locate RERADOR!" (no caption, so Wine titles it
# "Error") and exits cleanly once it is dismissed; the preview shows none.
# "DATAPATH" is where the library is taken from, and a library that lacks
# some resources (made from the build's resource file without them) still
# runs with what it has.
set -u
source "$(dirname "$0")/../support/scene.sh"
tw_begin scene_library 640x480x24
tw_stage plain preview_host.exe
plain_stage=$TW_STAGE
tw_stage bare preview_host.exe
rm -f "$TW_STAGE/ReraDOR.dll"
bare_stage=$TW_STAGE

use_stage() { TW_STAGE=$1; TW_SCR=$TW_STAGE/$TW_SAVER_NAME; }

# data_dir NAME [FILE]: a data directory holding FILE as ReraDOR.dll.
data_dir() {
  local dir=$TW_WORK/data-$1
  mkdir -p "$dir"
  [ -n "${2:-}" ] && cp "$2" "$dir/ReraDOR.dll"
  echo "$dir"
}

# configure DATA_DIR|- [FISHES]: queues a clean configuration with DATAPATH
# (none for "-") and applies it.
configure() {
  ts_config_reset
  ts_set FISHES dword "${2:-0}"
  ts_set DISPLAY dword 0
  [ "$1" != - ] && tw_reg_set HKLM "$TW_CONFIG_KEY" DATAPATH string "$(tw_winpath "$1")"
  tw_reg_apply
}

# warns_once LABEL: full screen gives one "Error" box with the message, and
# the saver ends with 0 when it is dismissed, without another box.
warns_once() {
  local label=$1 box
  ts_start_windows /s
  if box=$(tw_window_wait Error 12); then
    sleep 1
    tw_expect_eq "$label: one warning box" "$(tw_window_count Error)" 1
    tw_expect_eq "$label: the box says the library is missing" \
      "$(ts_window_texts | grep -c '^Unable to locate RERADOR!$')" 1
    xdotool windowactivate --sync "$box" 2>/dev/null || true
    xdotool key --window "$box" Return 2>/dev/null
    if tw_wait_exit 10; then
      tw_expect_eq "$label: the saver then ends with 0" "$TW_EXIT" 0
    else
      tw_fail "$label: the saver does not end after the box"
      tw_kill
    fi
    tw_expect_eq "$label: no second box" "$(ts_window_texts | grep -c 'RERADOR')" 1
  else
    local state="not running"
    if tw_running; then
      TS_W=640 TS_H=480 ts_scene_shot "$TW_WORK/no-box-$RANDOM.png" 2>/dev/null
      state="running, scene mean $(ls -t "$TW_WORK"/no-box-*.png 2>/dev/null | head -n 1 |
        xargs -r -I{} convert {} -format '%[fx:int(255*mean)]' info:)"
    fi
    tw_fail "$label: no warning box (saver $state)"
    ts_scene_stop
  fi
}

use_stage "$bare_stage"
configure -
warns_once "no DATAPATH, no library beside the saver"
configure "$(data_dir empty)"
warns_once "DATAPATH without the library"
head -c 300000 /dev/urandom > "$TW_WORK/random.dll"
configure "$(data_dir random "$TW_WORK/random.dll")"
warns_once "a library of random bytes"
head -c 4096 "$TS_LIBRARY" > "$TW_WORK/truncated.dll"
configure "$(data_dir truncated "$TW_WORK/truncated.dll")"
warns_once "a library cut off after its headers"
echo "not a module" > "$TW_WORK/text.dll"
configure "$(data_dir text "$TW_WORK/text.dll")"
warns_once "a text file named ReraDOR.dll"

# A library whose sections are cut short: the loader refuses it, or the
# saver comes up without what is missing; either way it ends cleanly.
head -c $(( $(stat -c %s "$TS_LIBRARY") / 2 )) "$TS_LIBRARY" > "$TW_WORK/half.dll"
configure "$(data_dir half "$TW_WORK/half.dll")"
ts_start_windows /s
sleep 6
if [ "$(tw_window_count Error)" = 1 ]; then
  echo "half a library: refused with the warning"
  xdotool key --window "$(tw_window_wait Error 1)" Return 2>/dev/null
  tw_wait_exit 10 || tw_kill
else
  echo "half a library: loaded"
  tw_expect "half a library: the saver keeps running" tw_running
  tw_key a
  tw_wait_exit 10 || { tw_kill; TW_EXIT=timeout; }
fi
tw_expect_eq "half a library: ends with 0" "$TW_EXIT" 0

# The preview without a library: no box, and it still ends with its host.
configure -
tw_preview_host 152 112 4 || tw_fail "the preview host starts"
ts_start_windows /p "$TW_HOST_WINDOW"
tw_wait_exit 15 "$TW_HOST_PID"
if tw_wait_exit 10; then :; else tw_kill; fi
tw_expect_eq "preview without the library ends with 0 with its host" "$TW_EXIT" 0
tw_expect_eq "preview without the library shows no box" "$(ts_window_texts | grep -c RERADOR)" 0

# DATAPATH is where the library comes from.
configure "$(data_dir good "$TS_LIBRARY")"
if ts_scene_start 640 480; then
  ts_scene_shot "$TW_WORK/shot-datapath.png"
  read -r index n < <(ts_which_stock "$TW_WORK/shot-datapath.png" 640)
  tw_expect_eq "the library in DATAPATH gives background 0" "$index" 0
  tw_expect_range "the library in DATAPATH gives background 0 exactly (pixels unlike)" "$n" 0 160
else
  tw_fail "no scene with the library in DATAPATH"
fi
ts_scene_stop

# ---------------------------------------------------------------- reduced libraries

# Without overlay B: background 0 shows its picture with overlay A only.
ts_reduced_library "$TW_WORK/no-b.dll" 13BS
configure "$(data_dir no-b "$TW_WORK/no-b.dll")"
if ts_scene_start 640 480; then
  ts_scene_shot "$TW_WORK/shot-no-b.png"
  ts_stock 0 640
  read -r name x y <<< "$TS_OVERLAY_A"
  convert "$(ts_art "$TS_BG")" "$(ts_art "$name")" -geometry "+$x+$y" -composite -alpha off \
    "$TW_WORK/want-no-b.png"
  tw_expect_range "a library without overlay B shows the rest exactly (pixels unlike)" \
    "$(ts_differing "$TW_WORK/shot-no-b.png" "$TW_WORK/want-no-b.png")" 0 160
else
  tw_fail "no scene without overlay B"
fi
ts_scene_stop

# Without sprites, masks, bubbles, palette pictures and sounds: the other
# fish and the text still move.
ts_reduced_library "$TW_WORK/sparse.dll" DOLPHIN CLOWNA BUB1A LIONA PALFISH 13P WAVE
sparse=$(data_dir sparse "$TW_WORK/sparse.dll")
configure "$sparse" 0x1FFFF
ts_set CUSTOMTEXT string "Still running"
tw_reg_apply
if ts_scene_start 640 480; then
  ts_scene_shot "$TW_WORK/sparse-1.png"
  sleep 2
  ts_scene_shot "$TW_WORK/sparse-2.png"
  tw_expect "a sparse library: the saver keeps running" tw_running
  tw_expect_range "a sparse library: the scene moves (pixels changed in 2 s)" \
    "$(ts_differing "$TW_WORK/sparse-1.png" "$TW_WORK/sparse-2.png")" 2000 307200
else
  tw_fail "no scene with a sparse library"
fi
ts_scene_stop
tw_expect_eq "a sparse library: ends with 0" "$TW_EXIT" 0

# Without the background picture itself.
ts_reduced_library "$TW_WORK/no-picture.dll" 13S
configure "$(data_dir no-picture "$TW_WORK/no-picture.dll")" 0x1FFFF
tw_start /s
if tw_saver_ready 20; then
  sleep 3
  tw_expect "a library without the background picture: the saver keeps running" tw_running
fi
ts_scene_stop
tw_expect_eq "a library without the background picture: ends with 0" "$TW_EXIT" 0

# On an 8-bit display the palette pictures are missing from the sparse one.
tw_display_restart 640x480x8
configure "$sparse" 0x1FFFF
ts_palette_display on
tw_reg_apply
tw_start /s
if tw_saver_ready 20; then
  sleep 3
  tw_expect "8 bits without the palette pictures: the saver keeps running" tw_running
else
  tw_fail "8 bits without the palette pictures: no window"
fi
ts_scene_stop
tw_expect_eq "8 bits without the palette pictures: ends with 0" "$TW_EXIT" 0

tw_finish
