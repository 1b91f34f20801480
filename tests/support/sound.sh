# Recording what Wine's wave-out device plays, sourced after wine.sh.
#
# An ALSA configuration of our own gives Wine one output device, a "file" PCM
# over a null slave: every byte played is written to
#   DIR/cap_RATE_CHANNELS_BITS_FORMAT.raw   (cap_22050_1_8_U8.raw)
# truncated at each opening of the device. The null slave has no clock, so
# Wine's own timer paces playback (about four times real time), and Wine
# writes silence whenever the player is a moment late. A paced capture goes
# through sound_pace.py, which takes the bytes at real time as a device
# does: silence in it means the player let its queue run dry. Its writer
# waits for the pipe inside Wine's audio lock, so waveOutWrite waits too and
# a player closes more slowly: use it to check what was played, not timings.
#
#   tw_sound_capture DIR [paced]
#                            the configuration, exported for the programs
#                            started afterwards (ALSA_CONFIG_PATH,
#                            TW_SOUND_CAPTURE = DIR); old captures removed
#   tw_sound_driver alsa|off queues Wine's audio driver for the current prefix
#                            (off: no wave device at all) for tw_reg_apply

tw_sound_capture() {
  local dir=$1 file=$1/cap_%r_%c_%b_%f.raw
  mkdir -p "$dir"
  rm -f "$dir"/cap_*.raw
  [ "${2:-}" = paced ] && file="|python3 $TW_TOP/tests/support/sound_pace.py $file"
  cat > "$dir/asound.conf" <<CONF
pcm.!default {
  type file
  slave { pcm { type null } }
  file "$file"
  format "raw"
}
CONF
  export ALSA_CONFIG_PATH=$dir/asound.conf
  export TW_SOUND_CAPTURE=$dir
}

tw_sound_driver() {
  local value=alsa
  [ "$1" = off ] && value=
  tw_reg_set HKCU 'Software\Wine\Drivers' Audio string "$value"
}
