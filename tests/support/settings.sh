# Helpers for the settings program's end-to-end tests, on top of wine.sh and
# scene.sh (which look at the saver that runs with what was chosen):
# a data folder with the settings program, the resource library and the
# saver; starting the program and clicking its controls by their places in
# the dialog template (dialog units); reading the values it wrote.
#
#   source tests/support/settings.sh
#   tw_begin settings_x 1024x768x24; st_stage
#   st_start -t || tw_fail ...           # dialog up, its geometry known
#   st_click 15 196 50 14                # a control: x y width height in units
#   st_value FISHES                      # "REG_DWORD 0x1ffff"
#
# There is no window manager on the private display: Wine is told not to
# wait for one (it would wait 2 s whenever a window is hidden).

source "$(dirname "${BASH_SOURCE[0]}")/scene.sh"

ST_PROGRAM_NAME='animated tidewater.exe'
ST_TITLE='Tidewater Settings'

# st_stage [DIR]: a data folder (default TW_WORK/data) with the settings
# program, ReraDOR.dll and tidewater.scr (ST_DATA, ST_PROGRAM); DATAPATH
# points at it, with its trailing backslash.
st_stage() {
  ST_DATA=${1:-$TW_WORK/data}
  rm -rf "$ST_DATA"
  mkdir -p "$ST_DATA"
  ST_PROGRAM=$ST_DATA/$ST_PROGRAM_NAME
  tw_place "$TW_BUILD/bin/$ST_PROGRAM_NAME" "$ST_DATA" || return 1
  tw_place "$TW_BUILD/bin/ReraDOR.dll" "$ST_DATA" || return 1
  tw_place "$TW_BUILD/bin/$TW_SAVER_NAME" "$ST_DATA" || return 1
  tw_reg_set HKLM "$TW_CONFIG_KEY" DATAPATH string "$(tw_winpath "$ST_DATA")\\"
  tw_reg_set HKCU 'Software\Wine\X11 Driver' Managed string N
  tw_reg_apply
}

# st_start ARG...: starts the settings program and waits for its dialog.
# ST_X, ST_Y: the client area's top left on the screen; ST_UX, ST_UY: pixels
# per 100 dialog units.
st_start() {
  tw_start_program "$ST_PROGRAM" "$@"
  tw_log_wait 'dialog client at' 20 || return 1
  local line
  line=$(tw_log | grep -m 1 'dialog client at')
  read -r ST_X ST_Y ST_UX ST_UY < <(
    sed -E 's/.*client at (-?[0-9]+),(-?[0-9]+), 100 x 100 units are ([0-9]+) x ([0-9]+).*/\1 \2 \3 \4/' <<< "$line")
  tw_window_wait "$ST_TITLE" 10 > /dev/null
}

# st_at X Y: the screen point of a dialog-unit point.
st_at() {
  echo $((ST_X + $1 * ST_UX / 100)) $((ST_Y + $2 * ST_UY / 100))
}

# st_click X Y W H: clicks the middle of a control given in dialog units.
st_click() {
  local at
  at=$(st_at $(($1 + $3 / 2)) $(($2 + $4 / 2)))
  xdotool mousemove $at click 1
  sleep 0.3
}

# st_value NAME [ROOT]: "TYPE DATA" of one configuration value (HKCU unless
# ROOT is HKLM), empty when it is absent.
st_value() {
  tw_config_name "$1" || return 1
  tw_reg_value "${2:-HKCU}" "$TW_CONFIG_KEY" "$1"
}

# st_expect_values NAME WANT [NAME WANT]...: checks the "TYPE DATA" of
# configuration values of the user (trailing spaces dropped).
st_expect_values() {
  while [ $# -ge 2 ]; do
    tw_expect_eq "$1 is stored as '$2'" "$(st_value "$1" | sed 's/ *$//')" "$2"
    shift 2
  done
}

# st_key_exists ROOT KEY: the registry key exists.
st_key_exists() {
  WINEDEBUG=-all wine reg query "$(tw_reg_root "$1")\\$2" > /dev/null 2>&1
}

# st_font_facts HEX: "HEIGHT WEIGHT FACE" of a stored "FONT" value.
st_font_facts() {
  local h=$1 height weight face= i b
  height=$((0x${h:6:2}${h:4:2}${h:2:2}${h:0:2}))
  [ "$height" -ge 2147483648 ] && height=$((height - 4294967296))
  weight=$((0x${h:38:2}${h:36:2}${h:34:2}${h:32:2}))
  for ((i = 56; i < 120; i += 2)); do
    b=${h:i:2}
    [ "$b" = 00 ] && break
    face+=$(printf "\\x$b")
  done
  echo "$height $weight $face"
}

# st_dialog_shot FILE.png: the settings dialog alone.
st_dialog_shot() {
  local id
  id=$(tw_window_wait "$ST_TITLE" 5) || return 1
  xwd -id "$id" -silent | convert xwd:- "$1"
}

# st_windows_wait N: waits (at most 15 s) until the settings program shows
# exactly N windows: its dialog, and a dropped-down list or common dialog
# over it. False when it does not come to that.
st_windows_wait() {
  local deadline=$((SECONDS + 15))
  while [ "$(xdotool search --onlyvisible --classname "^$ST_PROGRAM_NAME\$" 2>/dev/null |
             wc -l)" != "$1" ]; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.1
  done
}

# st_pixel_wait X Y WANT: the colour "R G B" of a dialog-unit point on the
# screen once it is WANT, or the last one seen after 10 s (a window paints
# a moment after it appears).
st_pixel_wait() {
  local deadline=$((SECONDS + 10)) shot=$TW_WORK/.pixel-$$.png at got
  at=$(st_at "$1" "$2")
  while :; do
    tw_screenshot "$shot"
    got=$(tw_pixel "$shot" $at)
    [ "$got" = "$3" ] || [ "$SECONDS" -ge "$deadline" ] && break
    sleep 0.2
  done
  rm -f "$shot"
  echo "$got"
}

# st_common_dialog TITLE: waits for one of the platform's common dialogs
# (font, colour, file) and gives it a moment to take the keyboard.
st_common_dialog() {
  tw_window_wait "$1" 15 > /dev/null || return 1
  sleep 1
}

# st_ink FILE R G B: "X Y W H COUNT" of the pixels of one colour (within 3
# percent), "0 0 0 0 0" when there are none. Other pictures' white stays
# out of it.
st_ink() {
  convert "$1" -alpha off -fuzz 3% -fill black +opaque "rgb($2,$3,$4)" \
    -fill white -opaque "rgb($2,$3,$4)" -bordercolor black -border 1 \
    -format '%@ %[fx:int(mean*w*h+0.5)]\n' info: 2>/dev/null |
    awk '{ split($1, g, /[x+]/); if ($2 == 0) print "0 0 0 0 0";
           else print g[3] - 1, g[4] - 1, g[1], g[2], $2 }'
}
