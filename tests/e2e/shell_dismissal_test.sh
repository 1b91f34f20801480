#!/usr/bin/env bash
# Measures time: runs beside no other end-to-end script.
# Dismissal of the full-screen saver under Wine on the current platform: the
# mouse threshold (3 + 1 pixels stays, 3 + 2 closes), keys, system keys,
# every button and deactivation each close it at once, with no password
# asked even when one is configured. Also the frame tick's pace, 12.5 per
# second, with never more than one tick pending.
set -u
source "$(dirname "$0")/../support/wine.sh"
tw_begin shell_dismissal 800x600x24

tw_stage plain PASSWORD.CPL preview_host.exe
tw_platform current
# A password is configured, but only the legacy platform uses it.
tw_reg_set HKCU 'Control Panel\Desktop' ScreenSaveUsePassword dword 1
tw_reg_set HKCU "$TW_CONFIG_KEY" MUTE dword 1
tw_reg_apply

closes_on() {  # closes_on DESCRIPTION COMMAND...: the command ends the saver with 0
  local what=$1
  shift
  tw_start_centred
  "$@"
  if tw_wait_exit 10; then
    tw_expect_eq "$what closes the saver" "$TW_EXIT" 0
  else
    tw_fail "$what does not close the saver"
    tw_kill
  fi
  tw_expect_eq "$what asks for no password" "$(tw_log_count 'VerifyScreenSavePwd|running notice')" 0
}

# The threshold is the sum of both distances and must be exceeded.
tw_start_centred
tw_mouse_by 3 1
sleep 1.5
tw_expect "a move of 3 + 1 pixels leaves the saver running" tw_running
tw_mouse_by 0 1
if tw_wait_exit 10; then
  tw_expect_eq "one more pixel down (3 + 2 in all) closes it" "$TW_EXIT" 0
else
  tw_fail "3 + 2 pixels in two steps do not close the saver"
  tw_kill
fi

closes_on "a move of 3 + 2 pixels" tw_mouse_by 3 2
closes_on "a move of 5 pixels left" tw_mouse_by -5 0
closes_on "a key" tw_key a
closes_on "a system key" tw_key alt
closes_on "the left button" tw_click 1
closes_on "the middle button" tw_click 2
closes_on "the right button" tw_click 3

# Deactivation: another program's window takes the foreground.
activate_other() {
  tw_start_program "$TW_STAGE/preview_host.exe" 200 100 6
  HOST_PID=$TW_PID
  TW_PID=$SAVER_PID
}
tw_start_centred
SAVER_PID=$TW_PID
SAVER_LOG=$TW_LOG
activate_other
if tw_wait_exit 15; then
  tw_expect_eq "deactivation closes the saver" "$TW_EXIT" 0
else
  tw_fail "deactivation does not close the saver"
  tw_kill
fi
tw_kill "$HOST_PID"

# Pace: a tick every 80 ms measured over several seconds, and no tick ever
# finds another one pending (none nested in the pump, none armed twice).
tw_start_centred
sleep 6
tw_key a
tw_wait_exit 10
counters=$(tw_log | grep -o '[0-9]* frame ticks in [0-9]* ms, deepest [0-9]*, early timers [0-9]*')
read -r ticks ms deepest early < <(echo "$counters" | awk '{ print $1, $5, $8, $11 }' | tr -d ,)
if [ -n "${ticks:-}" ] && [ "${ms:-0}" -gt 0 ]; then
  rate=$(awk -v t="$ticks" -v m="$ms" 'BEGIN { printf "%.2f", (t - 1) * 1000 / m }')
  tw_expect_range "ticks per second over ${ms} ms" "$rate" 11.25 13.75
  tw_expect_range "the measurement spans several seconds (ms)" "$ms" 5000 8000
  tw_expect_eq "no tick ran inside another" "$deepest" 1
  tw_expect_eq "no tick found another one still armed" "$early" 0
else
  tw_fail "no tick counters in the log: '$counters'"
fi

tw_finish
