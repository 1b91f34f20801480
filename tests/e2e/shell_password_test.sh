#!/usr/bin/env bash
# Measures time: runs beside no other end-to-end script.
# The legacy platform's password support under Wine, with the test stand-in
# for PASSWORD.CPL: a verified password closes the saver after one dialog; a
# refused one keeps it, a second close request within 200 ms is refused
# without a second dialog, and input while the dialog is up asks for nothing
# more; without the component, or without a password in use, input closes at
# once. The screen-saver-running notice is given at start and withdrawn at
# the end exactly when the password support is loaded.
set -u
source "$(dirname "$0")/../support/wine.sh"
tw_begin shell_password 800x600x24

control=$TW_WORK/password-control
export TW_PASSWORD_CONTROL
TW_PASSWORD_CONTROL=$(tw_winpath "$control")
answer() { echo "$1 ${2:-0}" > "$control"; }  # answer RESULT [DIALOG_MS]

tw_stage with-password PASSWORD.CPL
tw_platform legacy
tw_reg_set HKCU 'Control Panel\Desktop' ScreenSaveUsePassword dword 1
tw_reg_set HKCU "$TW_CONFIG_KEY" MUTE dword 1
tw_reg_apply

dialogs() { tw_log_count 'VerifyScreenSavePwd call'; }
refused_at_once() { tw_log_count 'close refused again without asking'; }
ends_with_zero() {  # ends_with_zero DESCRIPTION
  if tw_wait_exit 10; then
    tw_expect_eq "$1" "$TW_EXIT" 0
  else
    tw_fail "$1: still running"
    tw_kill
  fi
}

# Verified at the first dialog.
answer 1
tw_start_centred
tw_key a
ends_with_zero "a verified password closes the saver"
tw_expect_eq "one password dialog" "$(dialogs)" 1
tw_expect_eq "the notice is given, then withdrawn" \
  "$(tw_log | grep -o 'running notice [01]' | tr '\n' ' ')" "running notice 1 running notice 0 "

# Refused: the saver stays. A second request 30 ms later is refused without
# a dialog; one after the 200 ms have passed asks again.
answer 0
tw_start_centred
tw_key a b
tw_log_wait 'password refused' 5
sleep 1
tw_expect "a refused password keeps the saver" tw_running
tw_expect_eq "a refused password: one dialog for two quick keys" "$(dialogs)" 1
tw_expect_eq "the second key within 200 ms is refused at once" "$(refused_at_once)" 1
tw_key c
sleep 1
tw_expect_eq "a key after the 200 ms asks again" "$(dialogs)" 2
tw_expect "and, refused again, keeps the saver" tw_running
answer 1
tw_mouse_by 10 10
ends_with_zero "a later movement with the right password closes the saver"
tw_expect_eq "three dialogs in all" "$(dialogs)" 3
tw_expect_eq "the notice is withdrawn at the end" \
  "$(tw_log | grep -o 'running notice [01]' | tail -n 1)" "running notice 0"

# While the dialog is up, input posts no further close request: after the
# dialog there is no request left to refuse. The scene keeps ticking behind
# the dialog.
answer 0 2500
tw_start_centred
tw_key a
tw_log_wait 'VerifyScreenSavePwd call 1' 5
sleep 0.5
tw_key x y
tw_mouse_by 40 40
tw_click 1
tw_mouse_by -40 -40
tw_log_wait 'password refused' 10
sleep 1
tw_expect "the saver stays after the long refused dialog" tw_running
tw_expect_eq "input during the dialog asks for no second dialog" "$(dialogs)" 1
tw_expect_eq "input during the dialog posts no close request" \
  "$(tw_log_count 'close refused while the password dialog is up')" 0
tw_expect_eq "input during the dialog leaves no close request behind" "$(refused_at_once)" 0
answer 1
tw_key a
ends_with_zero "then the right password closes it"
read -r ticks ms < <(tw_log | grep -o '[0-9]* frame ticks in [0-9]* ms' | awk '{ print $1, $5 }')
rate=$(awk -v t="${ticks:-0}" -v m="${ms:-1}" 'BEGIN { printf "%.2f", (t - 1) * 1000 / m }')
tw_expect_range "the scene ticked on behind the dialog (ticks per second)" "$rate" 11 14

# Without PASSWORD.CPL the saver closes at once and gives no notice.
tw_stage without-password
tw_start_centred
tw_key a
ends_with_zero "without the password component a key closes the saver"
tw_expect_eq "without the component: no notice" "$(tw_log_count 'running notice')" 0

# With the component but no password in use: nothing is loaded.
tw_stage with-password PASSWORD.CPL
tw_reg_set HKCU 'Control Panel\Desktop' ScreenSaveUsePassword dword 0
tw_reg_apply
answer 0
tw_start_centred
tw_key a
ends_with_zero "with no password in use a key closes the saver"
tw_expect_eq "with no password in use: no dialog" "$(dialogs)" 0
tw_expect_eq "with no password in use: no notice" "$(tw_log_count 'running notice')" 0

# The value missing altogether counts as no password.
tw_reg_unset HKCU 'Control Panel\Desktop' ScreenSaveUsePassword
tw_reg_apply
tw_start_centred
tw_key a
ends_with_zero "with the value missing a key closes the saver"
tw_expect_eq "with the value missing: no dialog" "$(dialogs)" 0

tw_finish
