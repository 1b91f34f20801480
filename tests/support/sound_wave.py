#!/usr/bin/env python3
"""Wraps a recording of the wave device in a WAVE file.

    sound_wave.py DIR/cap_RATE_CHANNELS_BITS_FORMAT.raw OUT.wav

The recording's name says its format (sound.sh's capture): unsigned 8-bit
(U8) and signed 16-bit little-endian (S16_LE) samples are what a WAVE file
holds as they are, so OUT.wav is a header and the recorded bytes unchanged.
Prints "RATE Hz, BITS-bit, CHANNELS channel(s), SECONDS s".
"""
import os
import re
import sys
import wave

FORMATS = {'U8': 8, 'S16_LE': 16}


def capture_format(path):
    """(rate, channels, bits) from the capture's name, or None."""
    found = re.fullmatch(r'cap_(\d+)_(\d+)_(\d+)_(\w+)\.raw', os.path.basename(path))
    if not found:
        return None
    rate, channels, bits, kind = found.groups()
    rate, channels, bits = int(rate), int(channels), int(bits)
    if FORMATS.get(kind) != bits or not 0 < channels <= 8 or not 0 < rate <= 384000:
        return None
    return rate, channels, bits


def main():
    if len(sys.argv) != 3:
        print('usage: sound_wave.py CAPTURE OUT.wav', file=sys.stderr)
        return 2
    found = capture_format(sys.argv[1])
    if not found:
        print(f'sound_wave.py: {sys.argv[1]}: not a U8 or S16_LE capture', file=sys.stderr)
        return 1
    rate, channels, bits = found
    data = open(sys.argv[1], 'rb').read()
    frame = channels * bits // 8
    data = data[:len(data) - len(data) % frame]
    with wave.open(sys.argv[2], 'wb') as out:
        out.setnchannels(channels)
        out.setsampwidth(bits // 8)
        out.setframerate(rate)
        out.writeframes(data)
    seconds = len(data) / frame / rate
    plural = 's' if channels > 1 else ''
    print(f'{rate} Hz, {bits}-bit, {channels} channel{plural}, {seconds:.1f} s')
    return 0


if __name__ == '__main__':
    sys.exit(main())
