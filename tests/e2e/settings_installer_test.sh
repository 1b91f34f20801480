#!/usr/bin/env bash
# Tidewater-Setup.exe under Wine, in a prefix made fresh for each run: a
# silent install puts every file and key where it belongs and makes
# Tidewater the current screen saver; the saver started from the system
# folder shows the aquarium with fish (the first-run settings) and "/c"
# opens the settings program; a silent uninstall leaves no file or key of
# ours behind and puts the previous screen saver back.
set -u
source "$(dirname "$0")/../support/settings.sh"
rm -rf "$TW_WINE_ROOT/e2e-settings_installer"
tw_begin settings_installer 800x600x24

setup=$TW_BUILD/bin/Tidewater-Setup.exe
drive=$WINEPREFIX/drive_c
system=$drive/windows/system32
data="$drive/Program Files/Tidewater"
previous='C:\windows\system32\previous.scr'
desktop='Control Panel\Desktop'
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Tidewater'

# expect_no_key DESCRIPTION ROOT KEY
expect_no_key() { if st_key_exists "$2" "$3"; then tw_fail "$1"; else tw_pass "$1"; fi; }

tw_reg_set HKCU "$desktop" SCRNSAVE.EXE string "$previous"
tw_reg_set HKCU 'Software\Wine\X11 Driver' Managed string N
tw_reg_apply

# ------------------------------------------------ silent install

tw_start_program "$setup" /S
tw_wait_exit 120
tw_expect_eq "the silent install ends with 0" "$TW_EXIT" 0
for f in "$system/tidewater.scr" "$data/ReraDOR.dll" "$data/animated tidewater.exe" \
         "$data/uninstall.exe" "$data/Licences/Tidewater.txt" \
         "$data/Licences/libjpeg-turbo.txt" "$data/Licences/zlib.txt"; do
  tw_expect "installed: ${f#$drive/}" test -s "$f"
done
tw_expect "the saver is the one built" cmp -s "$system/tidewater.scr" "$TW_BUILD/bin/tidewater.scr"
tw_expect "the settings program is the one built" \
  cmp -s "$data/animated tidewater.exe" "$TW_BUILD/bin/animated tidewater.exe"
if [ -f "$TW_BUILD/bin/mpadec.dll" ]; then
  tw_expect "installed: mpadec.dll" cmp -s "$data/mpadec.dll" "$TW_BUILD/bin/mpadec.dll"
  tw_expect "installed: libmpg123's licence" test -s "$data/Licences/libmpg123.txt"
fi
tw_expect_eq "DATAPATH names the data folder with its backslash" "$(st_value DATAPATH HKLM)" \
  'REG_SZ C:\Program Files\Tidewater\'
# First-run settings: every species over a random scene, edge to edge.
st_expect_values FISHES "REG_DWORD 0x1ffff" DISPLAY "REG_DWORD 0x9" FILLSCREEN "REG_DWORD 0x2"
current=$(tw_reg_query HKCU "$desktop" SCRNSAVE.EXE)
tw_expect "Tidewater is the current screen saver, by its short path ($current)" \
  grep -qiE '^C:\\windows\\system32\\[^\\ ]*~[^\\ ]*\.SCR$' <<< "$current"
tw_expect_eq "Add/Remove Programs lists it" "$(tw_reg_query HKLM "$uninstall_key" DisplayName)" \
  "Tidewater screen saver"
tw_expect_eq "with its uninstaller" "$(tw_reg_query HKLM "$uninstall_key" UninstallString)" \
  '"C:\Program Files\Tidewater\uninstall.exe"'

# ------------------------------------------------ the installed saver

tw_start_program "$system/tidewater.scr" /s
ts_scene_geometry 800 600
if tw_saver_ready 60 && ts_wait_drawn 20; then
  tw_expect "the installed saver finds its library" \
    grep -q 'full-screen scene in 800x600' <(tw_log)
  ts_scene_shot "$TW_WORK/first.png"
  sleep 1.5
  ts_scene_shot "$TW_WORK/second.png"
  moved=$(ts_differing "$TW_WORK/first.png" "$TW_WORK/second.png")
  tw_expect_range "fish swim: pixels changed in 1.5 s (per mille)" \
    "$((moved * 1000 / (800 * 600)))" 3 1000
else
  tw_fail "the installed saver shows the aquarium"
fi
tw_key a
tw_wait_exit 10
tw_expect_eq "the saver ends with 0 on a key" "$TW_EXIT" 0

tw_start_program "$system/tidewater.scr" /c
if tw_window_wait "$ST_TITLE" 30 > /dev/null; then
  tw_pass "'/c' opens the settings"
  sleep 1
  tw_key Escape
else
  tw_fail "'/c' opens the settings"
fi
tw_wait_exit 10
tw_expect_eq "'/c' ends with 1 when the settings close" "$TW_EXIT" 1

# ------------------------------------------------ silent uninstall

tw_start_program "$data/uninstall.exe" /S
tw_wait_exit 60
# The uninstaller runs on from a copy of itself, which ends once the data
# folder, the last thing it removes, has gone.
for i in $(seq 1 600); do
  [ -e "$data" ] || break
  sleep 0.1
done
tw_expect "the data folder has gone" test ! -e "$data"
tw_expect "the saver has gone from the system folder" test ! -e "$system/tidewater.scr"
sleep 1
expect_no_key "no machine key of ours" HKLM 'SOFTWARE\Quillmoor'
expect_no_key "no user key of ours" HKCU 'SOFTWARE\Quillmoor'
expect_no_key "no Add/Remove Programs entry" HKLM "$uninstall_key"
tw_expect_eq "the previous screen saver is back" "$(tw_reg_query HKCU "$desktop" SCRNSAVE.EXE)" \
  "$previous"
leftovers=$(find "$drive" -iname '*tidewater*' -o -iname 'rerador*' | head -5)
tw_expect_eq "no file of ours anywhere on drive C" "$leftovers" ""

tw_finish
