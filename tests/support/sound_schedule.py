#!/usr/bin/env python3
"""Checks a recording of the saver's ambient sound against the library's
sounds, for the sound's level and schedule.

    sound_schedule.py MODE CAPTURE SOUND.wav...

CAPTURE is raw unsigned 8-bit mono at 22050 Hz. Only the sounds that convert
exactly (22050 Hz) are matched. Prints "ok" or what went wrong:
    full     a stretch of the recording is one of the sounds, as stored
    half     ... at the mixer's half level: s -> (s x 16383) >> 16, 8-bit signed
    fades    the sound was heard, and the recording ends in silence
    changes  three sounds or more follow one another, each join a crossfade
             (about three seconds where the recording is neither sound
             alone), with no run of silence and no step between samples
             larger than the sounds' own
"""
import sys

from sound_match import read_wave, to_output

PRIMED = 5 * 992          # the device's first buffers, before any voice
CHUNK = 2000


def half(sound):
    return bytes((((b - 128) * 16383) >> 16) + 128 for b in sound)


def exact_sounds(paths):
    found = []
    for path in paths:
        sound, exact = to_output(*read_wave(path))
        if exact and sound:
            found.append((path, sound))
    return found


def which(chunk, sounds):
    for name, sound in sounds:
        if (sound + sound[:len(chunk)]).find(chunk) >= 0:
            return name
    return None


def largest_step(data):
    return max((abs(a - b) for a, b in zip(data, data[1:])), default=0)


def main():
    mode, capture = sys.argv[1], open(sys.argv[2], 'rb').read()
    sounds = exact_sounds(sys.argv[3:])
    body = capture[PRIMED + 3000:]
    if len(body) < 2 * CHUNK:
        print('recording too short: %d bytes' % len(capture))
        return
    if mode in ('full', 'half'):
        scaled = [(n, half(s) if mode == 'half' else s) for n, s in sounds]
        print('ok' if which(body[:4000], scaled) else 'no sound at that level')
    elif mode == 'fades':
        tail = capture[-CHUNK:]
        loud = which(body[:4000], sounds)
        quiet = max(abs(b - 128) for b in tail) <= 1
        print('ok' if loud and quiet else 'heard %s, silent at the end %s' % (bool(loud), quiet))
    elif mode == 'changes':
        heard, joins, last = [], [], None
        for index, at in enumerate(range(0, len(body) - CHUNK, CHUNK)):
            name = which(body[at:at + CHUNK], sounds)
            if not name:
                continue
            if heard and heard[-1] != name:
                joins.append((index - last - 1) * CHUNK / 22050.0)
            if not heard or heard[-1] != name:
                heard.append(name)
            last = index
        # Silence that ends the recording was padded as the saver stopped
        # the device: no gap in the sound.
        run, longest = 0, 0
        for b in body.rstrip(b'\x80'):
            run = run + 1 if b == 0x80 else 0
            longest = max(longest, run)
        own = max(largest_step(s + s[:1]) for _, s in sounds)
        step = largest_step(body)
        problems = []
        if len(set(heard)) < 3:
            problems.append('sounds heard: %d' % len(set(heard)))
        for seconds in joins:
            if not 2.2 <= seconds <= 3.6:
                problems.append('a join of %.2f s, not a 3 s crossfade' % seconds)
        if longest >= 200:
            problems.append('a run of %d bytes of silence' % longest)
        if step > own + 2:
            problems.append('a step of %d against the sounds\' %d' % (step, own))
        print('ok' if not problems else '; '.join(problems))
    else:
        print('unknown mode ' + mode)


if __name__ == '__main__':
    main()
