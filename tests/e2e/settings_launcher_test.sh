#!/usr/bin/env bash
# Measures time: runs beside no other end-to-end script.
# The settings launcher under Wine: "/c" and the plain start with no
# arguments start "animated tidewater.exe" from "DATAPATH" (a folder whose
# name holds spaces, so only its short form works) with "-t", hide their
# dialog at the first tick and end with 1 one poll after the program ends; a
# "DATAPATH" without its backslash gives the warning box and 0. The settings
# program reports its command line and the tick it closed at.
set -u
source "$(dirname "$0")/../support/settings.sh"
tw_begin settings_launcher 800x600x24
tw_stage plain
st_stage "$TW_WORK/Tide data folder"
data=$ST_DATA

# tick PATTERN: the tick number at the end of the first debug line that
# matches.
tick() { tw_log | grep -E -m 1 -e "$1" | grep -oE 'tick [0-9]+' | grep -oE '[0-9]+'; }

# launch LABEL ARG...: the saver starts the settings program, hides its
# dialog, and ends with 1 soon after the program is closed.
launch() {
  local label=$1
  shift
  tw_start "$@"
  if ! tw_log_wait 'settings: command line' 15; then
    tw_fail "$label: the settings program starts"
    tw_kill
    return
  fi
  local command
  command=$(tw_log | sed -n 's/^Tidewater settings: command line \[\(.*\)\]$/\1/p')
  tw_expect "$label: the program is started by its short path, with -t ($command)" \
    grep -qiE '^[^ ]*\\ANIM[^\\ ]*~[^\\ ]*\.EXE -t$' <<< "$command"
  tw_expect "$label: the short path is the data folder's" \
    grep -qiE '\\TIDE[^\\ ]*~[^\\ ]*\\ANIM' <<< "$command"
  tw_log_wait 'settings dialog hidden' 5
  local shown hidden
  shown=$(tick 'settings dialog, owner')
  hidden=$(tick 'settings dialog hidden')
  tw_expect_range "$label: the dialog is hidden within 400 ms (ms)" "$((hidden - shown))" 0 400
  sleep 1
  tw_expect_eq "$label: no window of the saver is visible while it waits" \
    "$(xdotool search --onlyvisible --classname '^tidewater.scr$' 2>/dev/null | wc -l)" 0
  tw_expect "$label: the saver waits while the program runs" tw_running
  tw_window_wait "$ST_TITLE" 10 > /dev/null
  tw_key Escape
  tw_wait_exit 10
  tw_expect_eq "$label: ends with 1 once the program has ended" "$TW_EXIT" 1
  local ended seen
  ended=$(tick 'settings: closed with Cancel')
  seen=$(tick 'settings program ended with 0')
  tw_expect_range "$label: the end is seen within a poll (ms)" "$((seen - ended))" 0 250
}

launch "/c" /c
launch "no argument"

# Without the backslash the path names a file that is not there: the warning
# box (a box without caption is titled "Error"), and 0 once it is closed.
tw_reg_set HKLM "$TW_CONFIG_KEY" DATAPATH string "$(tw_winpath "$data")"
tw_reg_apply
tw_start /c
if box=$(tw_window_wait Error 15); then
  tw_pass "no backslash: a warning box"
  tw_expect "no backslash: the box says it cannot find the program" \
    grep -q 'settings program not started' <(tw_log)
  xdotool windowactivate --sync "$box" 2>/dev/null || true
  tw_key Return
else
  tw_fail "no backslash: a warning box"
fi
tw_wait_exit 10
tw_expect_eq "no backslash: ends with 0" "$TW_EXIT" 0
tw_expect_eq "no backslash: nothing is started" "$(tw_log_count 'settings: command line')" 0

tw_finish
