#!/usr/bin/env bash
# Measures time: runs beside no other end-to-end script.
# The saver's command-line modes under Wine: every row of the dispatch table
# with its exit code, the window forms (full screen on 8-, 16- and 24-bit
# displays, preview inside a host window), the single full-screen instance,
# a quoted program path with spaces, the password change on both platforms,
# and the exports and resources the platform looks for.
set -u
source "$(dirname "$0")/../support/wine.sh"
tw_begin shell_modes 800x600x24

# Exports and resources of the built file.
exports=$(i686-w64-mingw32-objdump -p "$TW_BUILD/bin/$TW_SAVER_NAME" |
  sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
tw_expect "exports ScreenSaverProc" grep -qw ScreenSaverProc <<< "$exports"
tw_expect "exports ScreenSaverConfigureDialog" grep -qw ScreenSaverConfigureDialog <<< "$exports"
resources=$(wrestool -l "$TW_BUILD/bin/$TW_SAVER_NAME")
tw_expect "icon group 100" grep -q -- '--type=14 --name=100 ' <<< "$resources"
tw_expect "dialog 2003" grep -q -- '--type=5 --name=2003 ' <<< "$resources"
tw_expect "version record" grep -q -- '--type=16 ' <<< "$resources"
strings_block=$(wrestool -x --raw --type=6 --name=1 "$TW_BUILD/bin/$TW_SAVER_NAME" | tr -d '\0')
tw_expect "string 1 is Tidewater" grep -q Tidewater <<< "$strings_block"

tw_stage plain preview_host.exe MPR.DLL
tw_platform current
tw_reg_set HKCU "$TW_CONFIG_KEY" MUTE dword 1
tw_reg_apply

# Full screen: the window covers the screen and a key ends it with 0.
full_screen_run() {  # full_screen_run WxH ARG...
  local size=$1
  shift
  tw_start "$@"
  if tw_saver_ready 15 && tw_window_wait "Screen Saver" 5 > /dev/null; then
    tw_expect_eq "'$*' runs full screen at $size" \
      "$(tw_log | grep -o 'full-screen scene in [0-9x]* on a [0-9x]* screen')" \
      "full-screen scene in $size on a $size screen"
  else
    tw_fail "'$*' shows no full-screen window"
  fi
  tw_key a
  tw_wait_exit 10
  tw_expect_eq "'$*' ends with 0 after a key" "$TW_EXIT" 0
}

for arg in /s -s s S -/S; do
  full_screen_run 800x600 "$arg"
done

# Options that end at once with -1 (255 as Wine reports it) and no window.
for arg in /x /p "/p 0" "/p 7" "-p 99999" "/l" "/q /s"; do
  tw_run 15 $arg
  tw_expect_eq "'$arg' ends with -1" "$TW_EXIT" 255
  tw_expect_eq "'$arg' makes no scene" "$(tw_log_count 'scene in')" 0
done
tw_run 15 /a
tw_expect_eq "'/a' on the current platform ends with -1" "$TW_EXIT" 255
tw_expect_eq "'/a' on the current platform changes nothing" "$(tw_log_count 'PwdChangePassword')" 0

# Settings: with no argument the dialog has no owner; "/c" makes the
# foreground window its owner. The settings program is not installed here
# (no "DATAPATH"): the launcher says so in its warning box and ends with 0
# once the box is closed (the launcher itself is tested with the program).
settings_run() {
  tw_start "$@"
  tw_expect "${1:-no argument}: the warning box" tw_close_box 15
  tw_wait_exit 15 || tw_kill
}
settings_run
tw_expect_eq "no argument: settings, exit code" "$TW_EXIT" 0
tw_expect_eq "no argument: settings without owner" \
  "$(tw_log | grep -o 'settings dialog, owner [0-9]*')" "settings dialog, owner 0"

# A host window for the preview and the owned settings dialog.
tw_preview_host 320 240 16 || tw_fail "the preview host starts"
settings_run /c
tw_expect_eq "'/c': settings, exit code" "$TW_EXIT" 0
tw_expect_eq "'/c': the foreground window owns the settings" \
  "$(tw_log | grep -o 'settings dialog, owner [0-9]*')" "settings dialog, owner $TW_HOST_WINDOW"

# Preview: "/p" and "/l" both draw into the host; input does nothing there;
# a right click's context menu goes to the host with its own handle; when
# the host goes, so does the preview, with exit code 0.
tw_start /p "$TW_HOST_WINDOW"
p_pid=$TW_PID
p_log=$TW_LOG
tw_start "/l$TW_HOST_WINDOW"
l_pid=$TW_PID
l_log=$TW_LOG
tw_saver_ready 15 "$p_log"
tw_saver_ready 15 "$l_log"
tw_expect_eq "'/p' previews in the host's client area" \
  "$(tw_log "$p_log" | grep -o 'preview scene in [0-9x]*')" "preview scene in 320x240"
tw_expect_eq "'/l' behaves like '/p'" \
  "$(tw_log "$l_log" | grep -o 'preview scene in [0-9x]*')" "preview scene in 320x240"
tw_expect_eq "no full-screen window in preview" "$(tw_window_count 'Screen Saver')" 0
tw_mouse_to 100 100
sleep 0.2
tw_mouse_to 200 150
tw_key a Escape
tw_click 1
tw_click 3
sleep 1
tw_expect "preview ignores mouse, keys and buttons (/p)" tw_running "$p_pid"
tw_expect "preview ignores mouse, keys and buttons (/l)" tw_running "$l_pid"
tw_expect "the context menu request reaches the host with its handle" \
  grep -q "host got WM_CONTEXTMENU wParam $TW_HOST_WINDOW" "$TW_HOST_OUT"
tw_wait_exit 20 "$TW_HOST_PID"
tw_wait_exit 10 "$p_pid"
tw_expect_eq "'/p' ends with 0 when its host goes" "$TW_EXIT" 0
tw_wait_exit 10 "$l_pid"
tw_expect_eq "'/l' ends with 0 when its host goes" "$TW_EXIT" 0

# A preview parent whose client area is the whole screen runs the full scene.
tw_preview_host 0 0 6 || tw_fail "the screen-sized host starts"
tw_start /p "$TW_HOST_WINDOW"
tw_log_wait 'scene in' 15
tw_expect_eq "a screen-sized preview runs the full-screen scene" \
  "$(tw_log | grep -o '[a-z-]* scene in [0-9x]*')" "full-screen scene in 800x600"
tw_wait_exit 20 "$TW_HOST_PID"
tw_wait_exit 10
tw_expect_eq "the screen-sized preview ends with 0" "$TW_EXIT" 0

# A second full-screen start brings the first forward and ends with 0.
tw_start /s
first=$TW_PID
tw_saver_ready 15
tw_run 15 /s
tw_expect_eq "a second full-screen start ends with 0" "$TW_EXIT" 0
tw_expect_eq "the second start makes no scene" "$(tw_log_count 'scene in')" 0
tw_expect "the first saver still runs" tw_running "$first"
tw_expect_eq "one saver window" "$(tw_window_count 'Screen Saver')" 1
tw_key a
tw_wait_exit 10 "$first"
tw_expect_eq "the first saver ends with 0 after a key" "$TW_EXIT" 0

# The program name in quotes with spaces is skipped whole. Read unquoted, the
# option would be "x\tidewater.scr" and end with -1.
plain_stage=$TW_STAGE
tw_stage "Tide x"
full_screen_run 800x600 /s
TW_STAGE=$plain_stage
TW_SCR=$TW_STAGE/$TW_SAVER_NAME

# Password change on the legacy platform: 0 with or without a valid window;
# the platform's dialog gets the window, or the foreground window.
tw_platform legacy
tw_reg_apply
tw_preview_host 320 240 40 || tw_fail "the host starts for the password change"
tw_run 15 /a "$TW_HOST_WINDOW"
tw_expect_eq "'/a WINDOW' on the legacy platform ends with 0" "$TW_EXIT" 0
tw_expect_eq "'/a WINDOW' asks for the change with that window" \
  "$(tw_log | grep -o 'provider [A-Z]* window [0-9]* reserved 0 0')" \
  "provider SCRSAVE window $TW_HOST_WINDOW reserved 0 0"
for arg in "/a 0" "/a 7" "-a"; do
  tw_run 15 $arg
  tw_expect_eq "'$arg' on the legacy platform ends with 0" "$TW_EXIT" 0
  tw_expect_eq "'$arg' asks with the foreground window" \
    "$(tw_log | grep -o 'provider [A-Z]* window [0-9]*')" "provider SCRSAVE window $TW_HOST_WINDOW"
done
rm "$TW_STAGE/MPR.DLL"
tw_run 15 /a "$TW_HOST_WINDOW"
tw_expect_eq "'/a' without the password component still ends with 0" "$TW_EXIT" 0
tw_expect_eq "'/a' without the component asks nothing" "$(tw_log_count 'PwdChangePassword')" 0
tw_kill "$TW_HOST_PID"
tw_platform current
tw_reg_apply

# Full screen on displays of every depth and other sizes.
for display in 640x480x8 1024x768x16 800x600x24; do
  tw_display_restart "$display"
  size=${display%x*}
  full_screen_run "$size" /s
done
# On a screen larger than the scene the window still covers all of it: its
# black shows around the centred scene, where the bare display would show
# its root pattern.
tw_display_restart 900x700x24
tw_start /s
tw_saver_ready 15
sleep 1
tw_screenshot "$TW_WORK/full-screen.png"
shot=$TW_WORK/full-screen.png
tw_expect_eq "the screenshot is of the whole display" "$(tw_size "$shot")" "900 700"
tw_expect_eq "the window covers the top left corner" "$(tw_mean "$shot" 0 0 40 40)" 0
tw_expect_eq "the window covers the bottom right corner" "$(tw_mean "$shot" 860 660 40 40)" 0
tw_key a
tw_wait_exit 10

tw_finish
