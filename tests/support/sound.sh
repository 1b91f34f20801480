# Recording what Wine's wave-out device plays, sourced after wine.sh.
#
# An ALSA configuration of our own gives Wine one output device, a "file" PCM
# over a null slave: every byte played is written to
#   DIR/cap_RATE_CHANNELS_BITS_FORMAT.raw   (cap_22050_1_8_U8.raw)
# truncated at each opening of the device. The null slave has no clock, so
# Wine's own timer paces playback (about four times real time), and Wine
# writes silence whenever the player is a moment late. A paced capture gives
# the null slave a clock (alsa_clock.c, preloaded into the Wine programs
# started by tw_start): Wine then plays at real time as on a device, and
# silence in the recording means the player let its queue run dry.
#
#   tw_sound_capture DIR [paced]
#                            the configuration, exported for the programs
#                            started afterwards (ALSA_CONFIG_PATH,
#                            TW_SOUND_CAPTURE = DIR, and for a paced one
#                            TW_WINE_PRELOAD); old captures removed
#   tw_alsa_clock_check      checks the clock against the real library
#   tw_sound_driver alsa|off queues Wine's audio driver for the current prefix
#                            (off: no wave device at all) for tw_reg_apply
#   tw_library_sounds        the library's sixteen ambient sounds (WAVE 233 to
#                            248) extracted into TW_WORK, their paths in the
#                            array sounds (scene.sh's TS_RERA and TS_LIBRARY)

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
  unset TW_WINE_PRELOAD
  [ "${2:-}" = paced ] || return 0
  tw_alsa_clock || return 1
  export TW_WINE_PRELOAD=$TW_ALSA_CLOCK
}

# tw_alsa_clock: builds the clock for the null slave when its source is
# newer, for both of the loader's library directories ($LIB): 32-bit for
# Wine's processes, 64-bit for the programs Wine's start-up runs (which never
# call ALSA) and for alsa_clock_check.c. TW_ALSA_CLOCK names both.
tw_alsa_clock() {
  local source=$TW_TOP/tests/support/alsa_clock.c dir=$TW_TOP/build/alsa-clock
  TW_ALSA_CLOCK=$dir/'$LIB'/alsa_clock.so
  [ "$dir/lib/i386-linux-gnu/alsa_clock.so" -nt "$source" ] &&
    [ "$dir/lib/x86_64-linux-gnu/alsa_clock.so" -nt "$source" ] && return 0
  mkdir -p "$dir/lib/i386-linux-gnu" "$dir/lib/x86_64-linux-gnu"
  # Each library appears whole (renamed into place): another script may be
  # loading it.
  local arch flag
  for arch in i386 x86_64; do
    flag=; [ $arch = i386 ] && flag=-m32
    if ! gcc $flag -shared -fPIC -O2 -Wall -Wextra -o "$dir/.alsa_clock-$arch-$$.so" \
        "$source" -ldl -lpthread; then
      echo "tw_alsa_clock: cannot build the $arch clock (gcc-multilib missing?)" >&2
      return 1
    fi
    mv -f "$dir/.alsa_clock-$arch-$$.so" "$dir/lib/$arch-linux-gnu/alsa_clock.so"
  done
}

# tw_alsa_clock_check: builds and runs alsa_clock_check.c with the clock;
# prints its result, false when a check failed.
tw_alsa_clock_check() {
  local check=$TW_TOP/build/alsa-clock/alsa_clock_check
  tw_alsa_clock || return 1
  gcc -O2 -Wall -Wextra -o "$check.$$" "$TW_TOP/tests/support/alsa_clock_check.c" \
    -l:libasound.so.2 && mv -f "$check.$$" "$check" || return 1
  LD_PRELOAD=$TW_TOP/build/alsa-clock/lib/x86_64-linux-gnu/alsa_clock.so "$check"
}

tw_sound_driver() {
  local value=alsa
  [ "$1" = off ] && value=
  tw_reg_set HKCU 'Software\Wine\Drivers' Audio string "$value"
}

tw_library_sounds() {
  sounds=()
  local id
  for id in $(seq 233 248); do
    "$TS_RERA" extract "$TS_LIBRARY" "$id" "$TW_WORK/$id.wav" > /dev/null 2>&1 &&
      sounds+=("$TW_WORK/$id.wav")
  done
}
