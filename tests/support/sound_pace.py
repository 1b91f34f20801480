#!/usr/bin/env python3
"""Records what a wave device plays, taking it no faster than real time.

    sound_pace.py DIR/cap_RATE_CHANNELS_BITS_FORMAT.raw

ALSA's file PCM starts this as "|sound_pace.py FILE" and writes every byte
played into its standard input; the bytes go to FILE unchanged. The PCM's
null slave has no clock, so on its own Wine plays as fast as the player
feeds it and slips silence in whenever the player is a moment late. Read at
the pace of a real device instead, through a pipe of one page (186 ms at
22050 Hz, 8-bit, mono) that blocks the writer as a full device buffer does,
Wine's silence in the recording means what it means on a real device: the
player let its queue run dry.

Like a device, this never plays faster to catch up: when the writer is late
the clock starts again at the moment its bytes arrive.
"""
import fcntl
import os
import re
import sys
import time

# Bytes read at a time: about 10 ms of sound, never less than one frame.
STEP_SECONDS = 0.01
PAGE = 4096


def bytes_per_second(path):
    found = re.search(r'cap_(\d+)_(\d+)_(\d+)_', os.path.basename(path))
    if not found:
        return None
    rate, channels, bits = (int(v) for v in found.groups())
    return rate * channels * max(bits // 8, 1)


def pace(source, sink, per_second, clock=time.monotonic, sleep=time.sleep):
    """Copies source to sink; returns the bytes copied. `played` is the time
    at which everything read so far has been played."""
    step = max(int(per_second * STEP_SECONDS), 1)
    played, total = None, 0
    while True:
        chunk = os.read(source, step)
        if not chunk:
            return total
        sink.write(chunk)
        total += len(chunk)
        now = clock()
        played = max(played or now, now) + len(chunk) / per_second
        if played > now:
            sleep(played - now)


def main():
    if len(sys.argv) != 2:
        print('usage: sound_pace.py FILE', file=sys.stderr)
        return 2
    per_second = bytes_per_second(sys.argv[1])
    if not per_second:
        print(f'sound_pace.py: no rate, channels and bits in {sys.argv[1]}', file=sys.stderr)
        return 2
    try:
        fcntl.fcntl(0, fcntl.F_SETPIPE_SZ, PAGE)
    except (OSError, AttributeError):
        pass  # not a pipe, or an old Python: a longer buffer, same pace
    with open(sys.argv[1], 'wb') as sink:
        pace(0, sink, per_second)
    return 0


if __name__ == '__main__':
    sys.exit(main())
