#!/usr/bin/env python3
"""Checks the recordings of a long run of the saver whose wave device was
closed and opened again (display off and on) while its ambient sound
changed from time to time.

    sound_stretches.py PLAYED CAPTURE... -- SOUND.wav...

PLAYED lists the library's sounds in the order the saver's log names them
(the first, then each it crossfaded into), comma-separated resource names
("240,236,247"); each CAPTURE is one stretch of recording, raw unsigned 8-bit
mono at 22050 Hz, from an opening of the device to its closing, in order;
each SOUND is named by its file's stem.

Each stretch, past its leading silence and the fade-in at its start, must
be made of the library's sounds: every piece of 2000 bytes is one of them as
the saver's format chain makes it (sound_match.to_output: as stored at
22050 Hz; at other rates each stored sample repeated by the converter, so
that with repeats collapsed the piece is a run of the sound's own), except
for runs of a crossfade's length at most; with no run of silence and no
step between samples larger than the sounds' own. The sounds heard, in
order over all stretches, must be the ones PLAYED, and each join between
two of them within a stretch a crossfade (2.2 to 3.6 s of neither alone).

Prints one line per stretch, then "ok" or what went wrong, one line.
"""
import os
import sys

from sound_match import read_wave, to_output
from sound_schedule import CHUNK, largest_step

RATE = 22050
FADE_IN = 3000            # the resume's 100 ms fade, and a margin
CROSSFADE = (2.2, 3.6)    # seconds of a join: the saver's 3 s crossfade
SILENCE_RUN = 200         # this many bytes of silence in a row are a gap
WINDOW = 400              # bytes of a piece looked for in a resampled sound


def collapse(data):
    """The bytes with runs of one value collapsed to one."""
    out = bytearray()
    last = None
    for b in data:
        if b != last:
            out.append(b)
            last = b
    return bytes(out)


class Library:
    def __init__(self, paths):
        self.exact, self.resampled = [], []
        for path in paths:
            name = os.path.splitext(os.path.basename(path))[0]
            fmt, stored = read_wave(path)
            sound, exact = to_output(fmt, stored)
            if not sound:
                continue
            if exact:
                self.exact.append((name, sound + sound[:CHUNK]))
            else:
                # Its samples at their own rate, as the chain makes them 8-bit.
                own, _ = to_output(fmt[:2] + (RATE,) + fmt[3:], stored)
                self.resampled.append((name, collapse(own + own[:2 * WINDOW])))
        self.own_step = max(largest_step(s) for _, s in self.exact + self.resampled)

    def which(self, piece, hint):
        """The name of the sound the piece is of (the hint's first), or None."""
        for name, looped in sorted(self.exact, key=lambda e: e[0] != hint):
            if looped.find(piece) >= 0:
                return name
        # A converter that repeats samples: each window, collapsed and without
        # its first byte (whose run may have begun before), lies in the sound
        # collapsed. The converter restarts every quarter second (more than a
        # piece) and may drop a sample there, so two windows of three suffice.
        starts = (0, (len(piece) - WINDOW) // 2, len(piece) - WINDOW)
        windows = [collapse(piece[at:at + WINDOW])[1:] for at in starts]
        for name, looped in sorted(self.resampled, key=lambda e: e[0] != hint):
            if sum(len(w) >= WINDOW // 8 and looped.find(w) >= 0 for w in windows) >= 2:
                return name
        return None


def body_of(stretch):
    """The stretch past its leading silence and fade-in, without its last piece."""
    start = next((i for i, b in enumerate(stretch) if b not in (0x7F, 0x80)), len(stretch))
    return stretch[start + FADE_IN:len(stretch) - CHUNK]


def longest_silence(data):
    run = longest = 0
    for b in data:
        run = run + 1 if b == 0x80 else 0
        longest = max(longest, run)
    return longest


def seconds(pieces):
    return pieces * CHUNK / RATE


def check_stretch(number, body, library, heard, problems):
    """Walks one stretch piece by piece; appends the sounds heard to heard
    (a sound going on from the stretch before is not heard again)."""
    unknown, previous, named = 0, None, []
    for at in range(0, len(body) - CHUNK + 1, CHUNK):
        name = library.which(body[at:at + CHUNK], heard[-1] if heard else None)
        if name is None:
            unknown += 1
            continue
        if previous is None:
            if seconds(unknown) > CROSSFADE[1]:
                problems.append('stretch %d: begins with %.2f s of no library sound' %
                                (number, seconds(unknown)))
        elif name != previous:
            if not CROSSFADE[0] <= seconds(unknown) <= CROSSFADE[1]:
                problems.append('stretch %d: a join of %.2f s, not a crossfade' %
                                (number, seconds(unknown)))
        elif unknown:
            problems.append('stretch %d: %.2f s of no library sound within %s' %
                            (number, seconds(unknown), name))
        if name != previous:
            named.append(name)
            if not heard or heard[-1] != name:
                heard.append(name)
        previous, unknown = name, 0
    if seconds(unknown) > CROSSFADE[1]:
        problems.append('stretch %d: ends with %.2f s of no library sound' % (number, seconds(unknown)))
    silence, step = longest_silence(body), largest_step(body)
    if silence >= SILENCE_RUN:
        problems.append('stretch %d: a run of %d bytes of silence' % (number, silence))
    if step > library.own_step + 2:
        problems.append('stretch %d: a step of %d against the sounds\' %d' %
                        (number, step, library.own_step))
    print('stretch %d: %.1f s, sounds %s, longest silence %d bytes, largest step %d (sounds\' %d)' %
          (number, len(body) / RATE, ','.join(named) or 'none', silence, step, library.own_step))


def main():
    args = sys.argv[1:]
    if '--' not in args or len(args) < 3:
        print('usage: sound_stretches.py PLAYED CAPTURE... -- SOUND.wav...')
        return 2
    split = args.index('--')
    played = [p for p in args[0].split(',') if p]
    library = Library(args[split + 1:])
    heard, problems = [], []
    for number, path in enumerate(args[1:split], 1):
        body = body_of(open(path, 'rb').read())
        if len(body) < 4 * CHUNK:
            problems.append('stretch %d: %d bytes only' % (number, len(body)))
            continue
        check_stretch(number, body, library, heard, problems)
    if heard != played:
        problems.append('heard %s, the log says %s' % (','.join(heard), ','.join(played)))
    print('ok' if not problems else '; '.join(problems))
    return 0


if __name__ == '__main__':
    sys.exit(main())
