#!/usr/bin/env bash
# Bad configuration never stops the saver (under Wine, 640 x 480): values of
# the wrong registry type for every setting, strings longer than the
# 260-byte buffers they are read into, "FONT" of garbage, odd length, lower
# case or absurd sizes, and huge or negative numbers. Each run must come up
# with a drawn scene, keep running and end with 0 on a key; where the value
# has a defined meaning the picture is checked too (a stock background for
# odd "DISPLAY" values, the text in its colour for usable text).
set -u
source "$(dirname "$0")/../support/scene.sh"
tw_begin scene_config 640x480x24
tw_stage plain

TEXT_COLOUR=0xFF00FF  # magenta, 0x00BBGGRR

# repeat TEXT COUNT: TEXT repeated to COUNT characters.
repeat() { local s=; while [ ${#s} -lt "$2" ]; do s+=$1; done; echo "${s:0:$2}"; }
# hex_bytes TEXT: TEXT as .reg hexadecimal bytes ("41,42,...").
hex_bytes() { printf '%s' "$1" | od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//; s/,$//'; }

# magenta_seen SHOT: the magenta pixels of the screen, shot again once a
# second (up to eight times) while there are fewer than 20: the line drifts in
# from outside the screen, so an early shot may hold only its first pixels.
magenta_seen() {
  local n tries=0
  while :; do
    n=$(ts_colour_box "$1" 255 0 255 3 | cut -d' ' -f5)
    [ "${n:-0}" -ge 20 ] 2>/dev/null || [ "$tries" -ge 8 ] && break
    tries=$((tries + 1))
    sleep 1
    ts_scene_shot "$1"
  done
  echo "$n"
}

# survives LABEL [text|stock]: runs the queued configuration; the saver must
# draw a scene, still run a moment later and end with 0. "text" also wants
# the magenta text on the screen; "stock" wants exactly a stock background
# (FISHES 0 and no text).
survives() {
  local label=$1 shot=$TW_WORK/shot-$RUN.png magenta=
  RUN=$((RUN + 1))
  tw_reg_apply
  if ts_scene_start 640 480; then
    sleep 1
    ts_scene_shot "$shot"
    tw_expect "$label: the saver keeps running" tw_running
    [ "${2:-}" = text ] && [ -f "$shot" ] && magenta=$(magenta_seen "$shot")
  else
    tw_fail "$label: no scene drawn"
  fi
  ts_scene_stop
  tw_expect_eq "$label: ends with 0 on a key" "$TW_EXIT" 0
  [ -f "$shot" ] || return 0
  case "${2:-}" in
    text)
      tw_expect_range "$label: the text shows in its colour (magenta pixels)" "$magenta" 20 1000000 ;;
    stock)
      read -r index n < <(ts_which_stock "$shot" 640)
      tw_expect_range "$label: a stock background (index $index, pixels unlike it)" "$n" 0 160 ;;
  esac
}
RUN=1

# base [FISHES]: a clean configuration with a few fish.
base() {
  ts_config_reset
  ts_set FISHES dword "${1:-$(( 1 | 1 << 9 | 1 << 15 ))}"
  ts_set DISPLAY dword 0
}

# ---------------------------------------------------------------- wrong types

base
ts_set_raw DISPLAY '"3"'
ts_set_raw MUTE '"0"'
ts_set_raw FISHES '"131071"'
ts_set_raw FONTCOLOR '"255"'
ts_set CUSTOMTEXT string "Numbers as strings"
survives "numbers stored as strings"

base
tw_reg_set HKLM "$TW_CONFIG_KEY" DATAPATH dword 5
ts_set DISPLAY dword 8
ts_set_raw CUSTOMFILE 'dword:00000007'
# Four bytes "AAAA" with no terminator where a string is expected.
ts_set_raw CUSTOMTEXT 'dword:41414141'
ts_set_raw FONT 'dword:30303030'
survives "strings stored as numbers"

base
ts_set_raw DISPLAY 'hex:01'
ts_set_raw FISHES 'hex:ff,ff,ff,ff,ff,ff,ff,ff'
ts_set_raw MUTE 'hex:01,00'
ts_set_raw FONTCOLOR 'hex(b):ff,00,ff,00,00,00,00,00'
# 300 bytes and no terminator: longer than the buffer.
ts_set_raw CUSTOMTEXT "hex:$(hex_bytes "$(repeat B 300)")"
ts_set_raw FONT "hex(7):$(hex_bytes "F0FFFFFF")00,00,00,00"
survives "binary, multi-string and 64-bit values of odd sizes"

base
ts_set_raw CUSTOMTEXT "hex(2):$(hex_bytes "%PATH% and more"),00"
ts_set FONTCOLOR dword "$TEXT_COLOUR"
survives "an expandable string for the text"

# ---------------------------------------------------------------- long strings

# 259 characters fit the 260-byte buffer with their terminator.
base
ts_set CUSTOMTEXT string "$(repeat 'Wide text ' 259)"
ts_set FONTCOLOR dword "$TEXT_COLOUR"
survives "a text of 259 characters" text
for length in 260 261 5000; do
  base
  ts_set CUSTOMTEXT string "$(repeat 'Long text ' "$length")"
  ts_set FONTCOLOR dword "$TEXT_COLOUR"
  survives "a text of $length characters"
done

base 0
ts_set DISPLAY dword 8
ts_set CUSTOMFILE string "C:\\$(repeat 'folder\\' 1000).bmp"
tw_reg_set HKLM "$TW_CONFIG_KEY" DATAPATH string "C:\\$(repeat 'data\\' 1000)"
survives "CUSTOMFILE and DATAPATH of 1000 characters" stock

# ---------------------------------------------------------------- FONT

font_case() {  # font_case LABEL FONT [text]
  base
  ts_set CUSTOMTEXT string "Tidewater"
  ts_set FONTCOLOR dword "$TEXT_COLOUR"
  ts_set FONT string "$2"
  survives "$1" "${3:-}"
}
# Characters outside the alphabet count as 0: none of these is a digit of it,
# so the record is all zero (the default font)...
font_case "FONT of garbage characters" 'ZZZZ@@@@ not hex at all!' text
# ... while these decode to an absurd height (0xE0A00B0A).
font_case "FONT of garbage with hexadecimal letters in it" 'GARBAGE!!~~ZZ@@'
font_case "FONT of odd length" "$(ts_font_hex -40 700 3 Tahoma | cut -c1-119)" text
# The lone last character of "F0FFFFF" gives a 0 byte: lfHeight 0x00FFFFF0,
# a font of sixteen million pixels.
font_case "FONT of 7 characters" 'F0FFFFF'
font_case "FONT in lower case (decodes as zeros: the default font)" \
  "$(ts_font_hex -40 700 3 Tahoma | tr 'A-F' 'a-f')" text
font_case "FONT of 1000 characters" "$(repeat "$(ts_font_hex -40 700 3 Tahoma)" 1000)" text
# Characters taller than the screen, and the largest height there is.
font_case "FONT 2000 pixels high" "$(ts_font_hex -2000 400 3 Tahoma)"
font_case "FONT of the greatest height" "$(ts_font_hex 0x7FFFFFFF 0x7FFFFFFF 0xFF Tahoma)"
font_case "FONT with a negative weight and width" \
  "$(ts_le32 -20)$(ts_le32 -999999)$(ts_le32 -1)$(ts_le32 -1)$(ts_le32 -700)FFFFFFFFFFFFFFFF" text

# ---------------------------------------------------------------- numbers

for display in -1 -7 0x80000000 0x7FFFFFFF 9 1000; do
  base 0
  ts_set DISPLAY dword "$display"
  survives "DISPLAY $display" stock
done
base 0xFFFFFFFF
ts_set CUSTOMTEXT string "All bits"
ts_set FONTCOLOR dword 0xFFFFFFFF
ts_set MUTE dword 0xFFFFFFFF
survives "FISHES, FONTCOLOR and MUTE with every bit set"
base 0x20000
survives "FISHES 0x20000 (no species bit)" stock

tw_finish
