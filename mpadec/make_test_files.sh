#!/usr/bin/env bash
# Writes the MPEG test files into DIR: for every rate and channel count a
# synthesised sound (sox) encoded as MP3 (lame) and MP2 (twolame), and the
# host decoder's reading of each (mpg123 -w) as the reference:
#   DIR/RATE_CHANNELS.mp3, .mp2 and RATE_CHANNELS.mp3.wav, .mp2.wav
# Stereo files carry a different tone in each channel, so that a swap shows.
set -euo pipefail
dir=$1
mkdir -p "$dir"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for rate in 16000 22050 32000 44100 48000; do
  for channels in 1 2; do
    name=${rate}_${channels}
    if [ "$channels" = 1 ]; then
      tones=(sine 300-2500) mode=m
    else
      tones=(sine 300-2500 sine 1800) mode=j
    fi
    sox -n -r "$rate" -c "$channels" -b 16 "$work/$name.wav" synth 0.6 "${tones[@]}" vol 0.7
    lame --quiet --resample "$(awk -v r="$rate" 'BEGIN { print r / 1000 }')" \
      -m "$mode" -b 64 "$work/$name.wav" "$dir/$name.mp3"
    twolame --quiet -m "$mode" -b 64 "$work/$name.wav" "$dir/$name.mp2"
    for kind in mp3 mp2; do
      mpg123 -q -w "$dir/$name.$kind.wav" "$dir/$name.$kind"
    done
  done
done
