#!/usr/bin/env bash
# Sound files against sox, an independent peer, under Wine
# (tests/support/sound_files.py holds the cases and the checks):
#  - our WAVE, AU (linear 8 and 16 bits, mu-law, A-law) and AIFF (8 and 16
#    bits), mono and stereo at seven rates from 8000 to 48000 Hz, are read by
#    soxi with the right kind, rate, channels and encoding, and sox decodes
#    the samples we load from them;
#  - sox's files of the same kinds, plus WAVE in unsigned 8-bit, IMA ADPCM,
#    MS ADPCM and GSM 6.10, load in ours (the codecs' through the platform's
#    decoders) with the right format and sox's samples;
#  - all 23 INFO texts of a WAVE file survive a load, save and reload.
# Everything is synthesised here; sound_tool.exe does all loading and saving
# in one run of Wine.
set -u
source "$(dirname "$0")/../support/wine.sh"
tw_begin sound_files 640x480x24
files=$TW_WORK/files
mkdir -p "$files"
tool=$TW_BUILD/tests/support/sound_tool.exe
helper=$TW_TOP/tests/support/sound_files.py
tw_expect "sound_tool.exe is built" [ -f "$tool" ]
tw_place "$tool" "$files"

commands=$(python3 "$helper" prepare "$files")
tw_expect "inputs synthesised" [ "${commands:-0}" -gt 0 ]

tw_start_program "$files/sound_tool.exe" commands.txt
if tw_wait_exit 300; then
  tw_expect_eq "sound_tool ran every command" "$TW_EXIT" 0
else
  tw_fail "sound_tool did not finish within 300 s"
  tw_kill
fi
tw_expect_eq "a line for every command" "$(grep -c ' status ' "$TW_OUT")" "$commands"

checks=0
while read -r verdict what; do
  case "$verdict" in
    ok) tw_pass "$what" ;;
    FAIL) tw_fail "$what" ;;
    checks) checks=$what ;;
    *) echo "  $verdict $what" ;;
  esac
done < <(python3 "$helper" check "$files" "$TW_OUT" 2>&1)
tw_expect_eq "every group of files checked" "$checks" 20
tw_finish
