#!/usr/bin/env bash
# The settings program "animated tidewater.exe" under Wine, driven as a user
# drives it: clicks on its controls and keys in its own dialog and in the
# platform's font, colour and file dialogs. Every value lands with its
# registry type and content; Cancel writes nothing; Preview runs the saver
# with the values being edited and puts the stored ones back; stored values
# of the wrong type, too long or odd are survived; and the saver started
# afterwards shows the chosen background and the text in its colour and size.
set -u
source "$(dirname "$0")/../support/settings.sh"
tw_begin settings_program 1024x768x24
st_stage
tw_stage plain
tw_reg_drop HKCU "$TW_CONFIG_KEY"
tw_reg_apply

# Control places in the dialog template (x y width height, dialog units).
# The fill box and the same-scene box are reached by their accelerators
# (Alt+I, Alt+M), as a keyboard user reaches them.
species() { echo 15 $((19 + 10 * $1)) 134 10; }
NONE="69 196 50 14"
SCENE="172 19 100 12"
BROWSE="276 18 50 14"
PICTURE="172 37 100 75"
TEXT="172 143 154 13"
FONT="172 160 50 14"
COLOUR="226 160 50 14"
SOUND="15 233 134 10"
VOLUME="53 246 76 14"
MINUTES="53 263 96 12"
CHANGE="53 277 96 12"
CLOCK="172 263 154 10"
CLOCK_KIND="184 277 96 12"
PREVIEW="7 298 50 14"
OK="175 298 50 14"
CANCEL="229 298 50 14"
APPLY="283 298 50 14"

# pick X Y W H KEY...: drops a list box down, moves in it and takes the entry.
pick() {
  st_click "$1" "$2" "$3" "$4"
  st_windows_wait 2 || tw_fail "a list drops down"
  shift 4
  tw_key "$@" Return
  st_windows_wait 1
}

# finish LABEL: the program ends with 0 after its dialog closed.
finish() {
  tw_wait_exit 10
  tw_expect_eq "$1: the program ends with 0" "$TW_EXIT" 0
}

# ------------------------------------------------ a new user: Cancel, then OK

if st_start -t; then
  tw_pass "starts with -t"
else
  tw_fail "starts with -t"
fi
tw_expect "it is started with -t" grep -q -- '-t]$' <(tw_log | grep 'command line')
st_dialog_shot "$TW_WORK/dialog.png"
# Random scene: the picture box shows its caption on water, not a picture.
tw_expect_eq "a random scene shows water in the picture box" "$(st_pixel_wait 180 45 "16 56 104")" \
  "16 56 104"
st_click $NONE
st_click $TEXT
xdotool type --delay 30 "never stored"
st_click $CANCEL
finish "Cancel"
if st_key_exists HKCU "$TW_CONFIG_KEY"; then tw_fail "Cancel writes nothing (no key)"; else tw_pass "Cancel writes nothing (no key)"; fi

st_start
tw_expect "it also starts without -t" grep -q 'exe"\]$' <(tw_log | grep 'command line')
st_click $OK
finish "OK with nothing changed"
st_expect_values FISHES "REG_DWORD 0x1ffff" DISPLAY "REG_DWORD 0x9" MUTE "REG_DWORD 0x0" \
  FILLSCREEN "REG_DWORD 0x0" SAMESCENE "REG_DWORD 0x0" CUSTOMFILE REG_SZ CUSTOMTEXT REG_SZ \
  FONTCOLOR "REG_DWORD 0x40e0ff" VOLUME "REG_DWORD 0x64" SOUNDMINUTES "REG_DWORD 0x0" \
  SOUNDCHANGE "REG_DWORD 0x0" CLOCK "REG_DWORD 0x0"
font=$(st_value FONT)
tw_expect_eq "FONT is a string" "${font%% *}" REG_SZ
tw_expect_eq "FONT holds 120 upper-case hexadecimal digits" \
  "$(grep -cE '^[0-9A-F]{120}$' <<< "${font#* }")" 1
tw_expect_eq "the new user's font" "$(st_font_facts "${font#* }")" "-40 700 Tahoma"
tw_expect_eq "no DATAPATH for the user" "$(st_value DATAPATH)" ""
tw_expect_eq "DATAPATH of the machine unchanged" "$(st_value DATAPATH HKLM)" \
  "REG_SZ $(tw_winpath "$ST_DATA")\\"

# ------------------------------------------------ every control

st_start -t
st_click $NONE
for i in 0 9 15; do st_click $(species $i); done   # clown, puffer, dolphin
# The sound's controls first: without sound they cannot be reached.
st_click $VOLUME
tw_key Home Next Next Next Next      # 0, then four pages of 10
pick $MINUTES Down Down              # as long as it runs, 15, 30 minutes
pick $CHANGE Down Down               # never, every minute, every 5 minutes
st_click $SOUND
tw_key alt+i Home                    # edge to edge, the first of three
tw_key alt+m                         # the same scene on every monitor
st_click $CLOCK
pick $CLOCK_KIND Down                # time, time and date
pick $SCENE Down Down Down Down      # Random, Coral reef, Kelp, Rocks, The wreck
st_click $TEXT
xdotool type --delay 30 "Hello reef"
st_click $FONT
if st_common_dialog Font; then
  xdotool type --delay 30 "DejaVu Sans"
  tw_key Tab
  xdotool type --delay 30 "Bold"
  tw_key Tab
  xdotool type --delay 30 "20"
  tw_key Return
else
  tw_fail "the font dialog opens"
fi
st_windows_wait 1 || tw_fail "the font dialog closes"
st_click $COLOUR
if st_common_dialog Color; then
  xwd -id "$(tw_window_wait Color 1)" -silent | convert xwd:- "$TW_WORK/colour-dialog.png"
  for c in 255 0 255; do   # red, green, blue
    tw_key ctrl+a
    xdotool type --delay 30 "$c"
    tw_key Tab
  done
  tw_key Return
else
  tw_fail "the colour dialog opens"
fi
st_windows_wait 1 || tw_fail "the colour dialog closes"
st_dialog_shot "$TW_WORK/dialog-edited.png"
st_click $APPLY
sleep 0.5
st_expect_values CUSTOMTEXT "REG_SZ Hello reef"
tw_expect "Apply writes while the dialog stays" tw_running
st_click $OK
finish "OK after editing"
st_expect_values FISHES "REG_DWORD 0x8201" DISPLAY "REG_DWORD 0x3" MUTE "REG_DWORD 0x1" \
  FILLSCREEN "REG_DWORD 0x2" SAMESCENE "REG_DWORD 0x1" CUSTOMTEXT "REG_SZ Hello reef" FONTCOLOR "REG_DWORD 0xff00ff" \
  VOLUME "REG_DWORD 0x28" SOUNDMINUTES "REG_DWORD 0x1e" SOUNDCHANGE "REG_DWORD 0x5" \
  CLOCK "REG_DWORD 0x2"
font=$(st_value FONT)
tw_expect_eq "the chosen font" "$(st_font_facts "${font#* }")" "-27 700 DejaVu Sans"

# What the saver shows with these values (sound off): the wreck behind three
# creatures, and the text in magenta at the chosen size. The clock, which
# shares the text's font and colour, is set aside for this: its own script
# measures it.
ts_set CLOCK dword 0
tw_reg_apply
ts_expected 3 1024 "$TW_WORK/wreck.png"
ts_expected 2 1024 "$TW_WORK/rocks.png"
if ts_scene_start 1024 768; then
  ts_scene_shot "$TW_WORK/saver.png"
  near=$(ts_differing "$TW_WORK/saver.png" "$TW_WORK/wreck.png")
  far=$(ts_differing "$TW_WORK/saver.png" "$TW_WORK/rocks.png")
  tw_expect_range "the saver shows the wreck (pixels off it, per mille)" \
    "$((near * 1000 / (1024 * 768)))" 0 150
  tw_expect_range "and not another scene (pixels off the rocks, per mille)" \
    "$((far * 1000 / (1024 * 768)))" 500 1000
  ink=
  for n in 1 2 3 4 5 6 7 8; do
    ts_scene_shot "$TW_WORK/saver-$n.png"
    ink=$(st_ink "$TW_WORK/saver-$n.png" 255 0 255)
    [ "${ink##* }" -gt 50 ] && break
    sleep 1
  done
  tw_expect_range "the text is in magenta (pixels)" "${ink##* }" 50 100000
  tw_expect_range "the text has the chosen size (ink height, px)" "$(awk '{ print $4 }' <<< "$ink")" \
    14 24
else
  tw_fail "the saver shows a scene"
fi
ts_scene_stop
ts_set CLOCK dword 2  # the value the dialog kept, for what follows
tw_reg_apply

# ------------------------------------------------ my picture, through Browse

convert -size 320x240 xc:'rgb(230,120,20)' -type TrueColor "BMP3:$TW_WORK/orange.bmp"
st_start -t
st_click $BROWSE
if st_common_dialog "Choose a picture"; then
  xdotool type --delay 20 "$(tw_winpath "$TW_WORK/orange.bmp")"
  tw_key Return
else
  tw_fail "the file dialog opens"
fi
st_windows_wait 1 || tw_fail "the file dialog closes"
tw_expect_eq "the picture box shows the chosen picture" "$(st_pixel_wait 222 75 "230 120 20")" \
  "230 120 20"
tw_key alt+i Down                    # from edge to edge to the whole picture with bars
st_click $OK
finish "OK after Browse"
st_expect_values DISPLAY "REG_DWORD 0x8" FILLSCREEN "REG_DWORD 0x1" SAMESCENE "REG_DWORD 0x1"
st_expect_values CUSTOMFILE "REG_SZ $(tw_winpath "$TW_WORK/orange.bmp")"
if ts_scene_start 1024 768; then
  ts_scene_shot "$TW_WORK/saver-picture.png"
  tw_expect_eq "the saver shows the picture" "$(tw_pixel "$TW_WORK/saver-picture.png" 5 5)" \
    "230 120 20"
else
  tw_fail "the saver shows the picture"
fi
ts_scene_stop

# ------------------------------------------------ Preview

st_start -t
st_click $TEXT
tw_key ctrl+a
xdotool type --delay 30 "Preview only"
st_click $CLOCK
tw_key alt+i End                     # actual size, the last choice
tw_key alt+m                         # each monitor its own scene
st_click $PREVIEW
saver_log=$TW_LOG
if tw_window_wait "Screen Saver" 20 > /dev/null; then
  tw_pass "Preview runs the saver full screen"
  st_expect_values CUSTOMTEXT "REG_SZ Preview only" CLOCK "REG_DWORD 0x0" VOLUME "REG_DWORD 0x28" \
    FILLSCREEN "REG_DWORD 0x0" SAMESCENE "REG_DWORD 0x0"
  sleep 2
  tw_key a
  tw_log_wait 'preview ended' 20
  st_expect_values CUSTOMTEXT "REG_SZ Hello reef" CLOCK "REG_DWORD 0x2" \
    FILLSCREEN "REG_DWORD 0x1" SAMESCENE "REG_DWORD 0x1"
else
  tw_fail "Preview runs the saver full screen"
fi
sleep 0.5
st_click $CANCEL
finish "Cancel after Preview"
st_expect_values CUSTOMTEXT "REG_SZ Hello reef" CLOCK "REG_DWORD 0x2" FILLSCREEN "REG_DWORD 0x1" \
  SAMESCENE "REG_DWORD 0x1"

# A put-back that cannot be done is logged: the key has gone when the
# previewed saver ends.
st_start -t
st_click $PREVIEW
if tw_window_wait "Screen Saver" 20 > /dev/null; then
  WINEDEBUG=-all wine reg delete "HKEY_CURRENT_USER\\$TW_CONFIG_KEY" /f > /dev/null 2>&1
  tw_key a
  tw_expect "a put-back that fails is logged" \
    tw_log_wait 'stored settings could not be put back' 20
else
  tw_fail "Preview runs the saver full screen a second time"
fi
sleep 0.5
st_click $CANCEL
finish "Cancel after a failed put-back"

# ------------------------------------------------ bad stored values

ts_set_raw FISHES '"all of them"'
ts_set DISPLAY dword 0xFFFFFFF0
ts_set_raw MUTE 'hex:01,02,03,04,05'
ts_set CUSTOMTEXT string "$(printf 'x%.0s' $(seq 1 300))"
ts_set_raw CUSTOMFILE 'hex:41,42'
ts_set FONT string "f0ffffff00zz"
ts_set FONTCOLOR dword 0xFF000000
ts_set VOLUME string loud
ts_set SOUNDMINUTES dword 0xFFFFFFFF
ts_set SOUNDCHANGE string 5
ts_set CLOCK dword 0xFFFFFFFF
ts_set FILLSCREEN dword 3
ts_set SAMESCENE string 1
tw_reg_apply
# Shown as the defaults, but written only when the user keeps them.
if st_start -t; then
  st_click $CANCEL
  finish "bad stored values, Cancel"
  st_expect_values VOLUME "REG_SZ loud" SOUNDMINUTES "REG_DWORD 0xffffffff" \
    SOUNDCHANGE "REG_SZ 5" CLOCK "REG_DWORD 0xffffffff" FILLSCREEN "REG_DWORD 0x3" \
    SAMESCENE "REG_SZ 1"
else
  tw_fail "bad stored values: the dialog comes up to be cancelled"
fi
if st_start -t; then
  tw_pass "bad stored values: the dialog comes up"
  st_click $OK
  finish "bad stored values"
  st_expect_values FISHES "REG_DWORD 0x1ffff" DISPLAY "REG_DWORD 0x9" MUTE "REG_DWORD 0x0" \
    CUSTOMTEXT REG_SZ CUSTOMFILE REG_SZ FONTCOLOR "REG_DWORD 0x40e0ff" \
    VOLUME "REG_DWORD 0x64" SOUNDMINUTES "REG_DWORD 0x0" SOUNDCHANGE "REG_DWORD 0x0" \
    CLOCK "REG_DWORD 0x0" FILLSCREEN "REG_DWORD 0x0" SAMESCENE "REG_DWORD 0x0"
  font=$(st_value FONT)
  tw_expect_eq "an odd FONT shows as the default" "$(st_font_facts "${font#* }")" "-40 700 Tahoma"
else
  tw_fail "bad stored values: the dialog comes up"
fi

# The other kind of each: just past the volume's range, a string where a
# number belongs, the largest number (a negative one as the saver reads
# it), a number written as text.
ts_set VOLUME dword 101
ts_set SOUNDMINUTES string 30
ts_set SOUNDCHANGE dword 0xFFFFFFFF
ts_set CLOCK string 2
ts_set FILLSCREEN dword 0xFFFFFFFF
ts_set SAMESCENE dword 2
tw_reg_apply
if st_start -t; then
  st_click $OK
  finish "bad stored sound and clock values"
  st_expect_values VOLUME "REG_DWORD 0x64" SOUNDMINUTES "REG_DWORD 0x0" \
    SOUNDCHANGE "REG_DWORD 0x0" CLOCK "REG_DWORD 0x0" FILLSCREEN "REG_DWORD 0x0" \
    SAMESCENE "REG_DWORD 0x0"
else
  tw_fail "bad stored sound and clock values: the dialog comes up"
fi

# Numbers the saver takes that the lists do not offer are kept as they are.
ts_set SOUNDMINUTES dword 45
ts_set SOUNDCHANGE dword 1440
ts_set VOLUME dword 0
tw_reg_apply
if st_start -t; then
  st_click $OK
  finish "unlisted sound minutes"
  st_expect_values SOUNDMINUTES "REG_DWORD 0x2d" SOUNDCHANGE "REG_DWORD 0x5a0" VOLUME "REG_DWORD 0x0"
else
  tw_fail "unlisted sound minutes: the dialog comes up"
fi

tw_finish
