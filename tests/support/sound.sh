# Recording what Wine's wave-out device plays, sourced after wine.sh.
#
# An ALSA configuration of our own gives Wine one output device, a "file" PCM
# over a null slave: every byte played is written to
#   DIR/cap_RATE_CHANNELS_BITS_FORMAT.raw   (cap_22050_1_8_U8.raw)
# truncated at each opening of the device. The null slave has no clock, so
# Wine's own timer paces playback (about four times real time), and Wine
# writes silence when the player falls behind.
#
#   tw_sound_capture DIR     the configuration, exported for the programs
#                            started afterwards (ALSA_CONFIG_PATH,
#                            TW_SOUND_CAPTURE = DIR); old captures removed
#   tw_sound_driver alsa|off queues Wine's audio driver for the current prefix
#                            (off: no wave device at all) for tw_reg_apply

tw_sound_capture() {
  local dir=$1
  mkdir -p "$dir"
  rm -f "$dir"/cap_*.raw
  cat > "$dir/asound.conf" <<CONF
pcm.!default {
  type file
  slave { pcm { type null } }
  file "$dir/cap_%r_%c_%b_%f.raw"
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
