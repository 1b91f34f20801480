#!/usr/bin/env python3
"""Finds which of the library's sounds a recording of the saver holds.

    sound_match.py CAPTURE SOUND.wav...

CAPTURE is raw unsigned 8-bit mono at 22050 Hz (what the wave device played).
Each SOUND is converted the way the saver's format chain converts it: 8-bit
samples as they are, 16-bit ones to their high byte (exact at 22050 Hz);
other rates by nearest sample, which the platform's converter restarts at
every quarter second, so only an approximate match is asked of them.

Prints one line for the sound found:
    resource NAME exact 1 start S lead N matched M length L gaps G mismatches K
(the sound's first frame at S, with N bytes other than silence before it; M
bytes from S equal the sound looped without a break; G runs of silence the
platform slipped in while the player was behind; K 0 when the walk ended at
the end of the recording), or
    resource NAME exact 0 start S meandiff D
or "resource none" when no sound matches.
"""
import os
import struct
import sys


def read_wave(path):
    data = open(path, 'rb').read()
    pos, fmt, samples = 12, None, None
    while pos + 8 <= len(data):
        cid, size = data[pos:pos + 4], struct.unpack('<I', data[pos + 4:pos + 8])[0]
        body = data[pos + 8:pos + 8 + size]
        if cid == b'fmt ':
            fmt = struct.unpack('<HHIIHH', body[:16])
        elif cid == b'data':
            samples = body
        pos += 8 + size + (size & 1)
    return fmt, samples


def to_output(fmt, samples):
    tag, channels, rate, _, align, bits = fmt
    if bits == 8:
        mono = samples
    else:
        mono = bytes(b ^ 0x80 for b in samples[1::2])
    if rate == 22050:
        return mono, True
    n = len(mono) * 22050 // rate
    return bytes(mono[i * rate // 22050] for i in range(n)), False


def walk(capture, start, sound):
    """Compares the recording from start with the sound looped; skips runs of
    silence (0x80) the platform inserted. A run that ends the recording is
    no gap: the device may be padded with silence as the saver stops it.
    Returns (matched, gaps, mismatch)."""
    i, j, matched, gaps = start, 0, 0, 0
    n = len(sound)
    while i < len(capture):
        if capture[i] == sound[j % n]:
            i += 1
            j += 1
            matched += 1
            continue
        if capture[i] == 0x80:
            while i < len(capture) and capture[i] == 0x80:
                i += 1
            if i < len(capture):
                gaps += 1
            continue
        return matched, gaps, 1
    return matched, gaps, 0


def main():
    capture = open(sys.argv[1], 'rb').read()
    approximate = []
    for path in sys.argv[2:]:
        name = os.path.splitext(os.path.basename(path))[0]
        sound, exact = to_output(*read_wave(path))
        if not exact:
            approximate.append((name, sound))
            continue
        start = capture.find(sound[:4000])
        if start < 0:
            continue
        matched, gaps, mismatch = walk(capture, start, sound)
        lead = sum(1 for b in capture[:start] if b not in (0x7F, 0x80))
        print(f'resource {name} exact 1 start {start} lead {lead} matched {matched} '
              f'length {len(sound)} gaps {gaps} mismatches {mismatch}')
        return 0
    # The approximate ones: aligned at the first sound the recording holds.
    first = next((k for k, b in enumerate(capture) if b not in (0x7F, 0x80)), None)
    if first is not None:
        for name, sound in approximate:
            window = min(20000, len(sound), len(capture) - first)
            best = min(
                sum(abs(capture[first + k] - sound[k + shift]) for k in range(0, window - 8, 7))
                / len(range(0, window - 8, 7))
                for shift in range(0, 4))
            if best < 4:
                print(f'resource {name} exact 0 start {first} meandiff {best:.2f}')
                return 0
    print('resource none')
    return 0


if __name__ == '__main__':
    sys.exit(main())
