#!/usr/bin/env python3
"""Sound files made by us and by sox, checked against each other.

    sound_files.py prepare DIR        the inputs and DIR/commands.txt for
                                      sound_tool.exe (run in DIR); prints the
                                      number of commands
    sound_files.py check DIR OUTPUT   OUTPUT is what sound_tool printed; prints
                                      one "ok WHAT" or "FAIL WHAT: WHY" line
                                      per group of files, then "checks N"

Ours -> sox: deterministic signals (every 8-bit value, both 16-bit extremes,
noise and a sweep) are saved by us as WAVE, AU and AIFF; soxi must report
the kind, rate, channels, encoding and bits, and sox's decoding of each file
must equal our loading of it, sample for sample; the linear kinds must also
give back the signal itself, the companded ones stay within the companding
step (a sixteenth of the value plus 16).
Sox -> ours: sox synthesises the same kinds plus WAVE in unsigned 8-bit, IMA
ADPCM, MS ADPCM and GSM 6.10; our loading (decoded by the platform's codecs)
must have the right format and equal sox's decoding within TOLERANCE below.
INFO: a WAVE file with all 23 texts (written here with struct) is loaded,
saved and loaded again; every text must survive both ways, as our loader
reports them and as this script reads our saved file.
"""
import os
import random
import struct
import subprocess
import sys

RATES = [8000, 11025, 16000, 22050, 32000, 44100, 48000]
# The platform's GSM codec takes a byte rate of exactly rate x 65 / 320 rounded
# down; sox rounds it to the nearest, which differs at 22050 and 44100 Hz, and
# those files do not open (status 1). The other rates are all taken.
GSM_RATES = [8000, 11025, 16000, 32000, 48000]
SECONDS = 0.25

# Ours -> sox: name, sound_tool save kind, extension, bits of the signal,
# soxi's type, encoding and bits.
OURS = [
    ('wav16', 'wav', 'wav', 16, 'wav', 'Signed Integer PCM', 16),
    ('wav8', 'wav', 'wav', 8, 'wav', 'Unsigned Integer PCM', 8),
    ('au16', 'au', 'au', 16, 'au', 'Signed Integer PCM', 16),
    ('au8', 'au', 'au', 8, 'au', 'Signed Integer PCM', 8),
    ('mulaw', 'au-mulaw', 'au', 16, 'au', 'u-law', 8),
    ('alaw', 'au-alaw', 'au', 16, 'au', 'A-law', 8),
    ('aiff16', 'aiff', 'aiff', 16, 'aiff', 'Signed Integer PCM', 16),
    ('aiff8', 'aiff', 'aiff', 8, 'aiff', 'Signed Integer PCM', 8),
]

# Sox -> ours: name, extension, sox's options, rates, channel counts, the
# format our loader must report (tag, bits) and the one a header-only load
# keeps, as stored. TOLERANCE: the largest difference allowed between the
# two decodings. PCM, G.711, IMA ADPCM and GSM have one
# right answer and agree to the last bit. MS ADPCM does not: its decoder
# predicts each sample as (c1 s1 + c2 s2) / 256, which sox rounds down
# (>> 8) and the platform's codec rounds toward zero; the sample differs by
# one where the sum is negative, and the predictor carries that on until the
# next block header resets it. Decoding sox's files both ways outside our
# code gives sox's samples and ours exactly; the differences measured here
# are at most 76 (mean 4 to 20) over blocks of 500 to 2036 samples. 256
# (under 1% of full scale) leaves room for other signals and still fails a
# wrong coefficient, nibble order or channel layout, which are off by
# thousands.
TOLERANCE = {'msadpcm': 256}
SOX = [
    ('wav16', 'wav', ['-e', 'signed-integer', '-b', '16'], RATES, (1, 2), (1, 16), (1, 16)),
    ('wavu8', 'wav', ['-e', 'unsigned-integer', '-b', '8'], RATES, (1, 2), (1, 8), (1, 8)),
    ('au16', 'au', ['-e', 'signed-integer', '-b', '16'], RATES, (1, 2), (1, 16), (1, 16)),
    ('au8', 'au', ['-e', 'signed-integer', '-b', '8'], RATES, (1, 2), (1, 8), (1, 8)),
    ('mulaw', 'au', ['-e', 'mu-law', '-b', '8'], RATES, (1, 2), (1, 16), (7, 8)),
    ('alaw', 'au', ['-e', 'a-law', '-b', '8'], RATES, (1, 2), (1, 16), (6, 8)),
    ('aiff16', 'aiff', ['-e', 'signed-integer', '-b', '16'], RATES, (1, 2), (1, 16), (1, 16)),
    ('aiff8', 'aiff', ['-e', 'signed-integer', '-b', '8'], RATES, (1, 2), (1, 8), (1, 8)),
    ('ima', 'wav', ['-e', 'ima-adpcm'], RATES, (1, 2), (1, 16), (0x11, 4)),
    ('msadpcm', 'wav', ['-e', 'ms-adpcm'], RATES, (1, 2), (1, 16), (2, 4)),
    ('gsm', 'wav', ['-e', 'gsm-full-rate'], GSM_RATES, (1,), (1, 16), (0x31, 0)),
]

INFO_TAGS = ['IARL', 'IART', 'ICMS', 'ICMT', 'ICOP', 'ICRD', 'ICRP', 'IDIM', 'IDPI', 'IENG',
             'IGNR', 'IKEY', 'ILGT', 'IMED', 'INAM', 'IPLT', 'IPRD', 'ISBJ', 'ISFT', 'ISHP',
             'ISRC', 'ISRF', 'ITCH']


def info_texts():
    """A text for every tag: odd and even lengths (pad bytes), blanks,
    punctuation, one character, and a long one."""
    texts = {}
    for i, tag in enumerate(INFO_TAGS):
        texts[tag] = '%s text %d%s' % (tag.lower(), i, '!' * (i % 3))
    texts['ICMT'] = 'Surf over the reef; (c) "Tidewater" & co. ' * 8
    texts['IKEY'] = 'k'
    texts['INAM'] = 'Tide pool'
    return texts


def signal(rate, channels, bits):
    """Raw samples in the sound's own layout (unsigned 8-bit or signed 16-bit
    little-endian): every value in turn, then a sweep under noise."""
    rng = random.Random(rate * 10 + channels * 100 + bits)
    count = int(rate * SECONDS) * channels
    if bits == 8:
        sweep = [128 + (i * 7) % 200 - 100 + rng.randint(-20, 20) for i in range(count - 256)]
        return bytes(list(range(256)) + sweep)
    values = [-32768, 32767, 0, -1, 1, -32767]
    values += [max(-32768, min(32767, (i * 331) % 65536 // 2 - 16384 + rng.randint(-9000, 9000)))
               for i in range(count - len(values))]
    return struct.pack('<%dh' % count, *values)


def to16(raw, bits):
    if bits == 16:
        return list(struct.unpack('<%dh' % (len(raw) // 2), raw))
    return [(b - 128) * 256 for b in raw]


def read16(path):
    data = open(path, 'rb').read()
    return list(struct.unpack('<%dh' % (len(data) // 2), data[:len(data) // 2 * 2]))


def info_wave(path, texts):
    """PCM 8000 Hz 16-bit mono, then a LIST INFO chunk after the data."""
    fmt = struct.pack('<HHIIHH', 1, 1, 8000, 16000, 2, 16)
    data = struct.pack('<400h', *[(i * 97) % 4000 - 2000 for i in range(400)])
    info = b'INFO'
    for tag in INFO_TAGS:
        body = texts[tag].encode('ascii') + b'\0'
        info += tag.encode() + struct.pack('<I', len(body)) + body + b'\0' * (len(body) & 1)
    body = b'WAVE'
    for cid, chunk in ((b'fmt ', fmt), (b'data', data), (b'LIST', info)):
        body += cid + struct.pack('<I', len(chunk)) + chunk + b'\0' * (len(chunk) & 1)
    open(path, 'wb').write(b'RIFF' + struct.pack('<I', len(body)) + body)


def read_info(path):
    """The INFO texts of a WAVE file, read without our code."""
    data = open(path, 'rb').read()
    texts = {}
    pos = 12
    while pos + 8 <= len(data):
        cid, size = data[pos:pos + 4], struct.unpack('<I', data[pos + 4:pos + 8])[0]
        if cid == b'LIST' and data[pos + 8:pos + 12] == b'INFO':
            inner, end = pos + 12, pos + 8 + size
            while inner + 8 <= end:
                tag, n = data[inner:inner + 4], struct.unpack('<I', data[inner + 4:inner + 8])[0]
                texts[tag.decode('ascii')] = data[inner + 8:inner + 8 + n].split(b'\0')[0].decode(
                    'ascii')
                inner += 8 + n + (n & 1)
        pos += 8 + size + (size & 1)
    return texts


def ours_files():
    for name, kind, ext, bits, _, _, _ in OURS:
        for rate in RATES:
            for channels in (1, 2):
                yield name, kind, bits, rate, channels, 'o_%s_%d_%d.%s' % (name, rate, channels, ext)


def sox_files():
    for name, ext, options, rates, channel_counts, _, _ in SOX:
        for rate in rates:
            for channels in channel_counts:
                yield name, options, rate, channels, 's_%s_%d_%d.%s' % (name, rate, channels, ext)


def sox(*args):
    subprocess.run(['sox', '-D'] + list(args), check=True, stderr=subprocess.DEVNULL)


def prepare(folder):
    commands = []
    for rate in RATES:
        for channels in (1, 2):
            for bits in (8, 16):
                name = 'sig_%d_%d_%d.raw' % (rate, channels, bits)
                open(os.path.join(folder, name), 'wb').write(signal(rate, channels, bits))
    for name, kind, bits, rate, channels, path in ours_files():
        signal_name = 'sig_%d_%d_%d.raw' % (rate, channels, bits)
        commands.append('save %s %s %d %d %d %s' % (kind, signal_name, rate, channels, bits, path))
        commands.append('load %s %s.ours.raw' % (path, path))
    for name, options, rate, channels, path in sox_files():
        full = os.path.join(folder, path)
        waves = ['sine', '200-3000', 'sine', '660'][:2 * channels]
        sox('-n', '-r', str(rate), '-c', str(channels), *options, full,
            'synth', str(SECONDS), *waves, 'vol', '0.9')
        sox(full, '-t', 'raw', '-e', 'signed-integer', '-b', '16', full + '.sox.raw')
        commands.append('load %s %s.ours.raw' % (path, path))
        commands.append('header %s' % path)
    info_wave(os.path.join(folder, 'info_in.wav'), info_texts())
    commands += ['load info_in.wav info_in.raw', 'resave info_in.wav info_out.wav',
                 'load info_out.wav info_out.raw']
    open(os.path.join(folder, 'commands.txt'), 'w').write('\r\n'.join(commands) + '\r\n')
    print(len(commands))


def tool_output(path):
    """{(verb, file): {field: value, 'info': {tag: text}}} from sound_tool's lines."""
    results, last = {}, None
    for line in open(path, encoding='ascii', errors='replace'):
        line = line.rstrip('\r\n')
        if line.startswith('info ') and last is not None:
            tag, _, text = line[5:].partition(' ')
            last['info'][tag] = text
            continue
        words = line.split()
        if len(words) < 4 or words[2] != 'status':
            continue
        last = dict(zip(words[2::2], words[3::2]))
        last['info'] = {}
        results[(words[0], words[1])] = last
    return results


def soxi(path):
    """soxi's type, rate, channels, encoding and bits of a file."""
    def ask(option):
        return subprocess.run(['soxi', option, path], capture_output=True, text=True).stdout.strip()
    return ask('-t'), ask('-r'), ask('-c'), ask('-e'), ask('-b')


def loaded_as(result, rate, channels, tag, bits, samples=True):
    """Why a load result is not a sound of this format (with its samples
    written out), or ''."""
    if result is None:
        return 'not loaded'
    if result.get('status') != '0':
        return 'status %s' % result.get('status')
    want = {'tag': str(tag), 'rate': str(rate), 'channels': str(channels), 'bits': str(bits)}
    if samples:
        want['raw'] = 'written'
    wrong = ['%s %s' % (k, result.get(k)) for k, v in want.items() if result.get(k) != v]
    return ', '.join(wrong)


def max_difference(a, b):
    return max((abs(x - y) for x, y in zip(a, b)), default=0)


def check_ours(folder, results):
    """One verdict per kind we write."""
    verdicts = []
    for name, _, _, bits, sox_type, encoding, sox_bits in OURS:
        problems, count = [], 0
        for _, kind, _, rate, channels, path in [f for f in ours_files() if f[0] == name]:
            count += 1
            full = os.path.join(folder, path)
            if results.get(('save', path), {}).get('status') != '0':
                problems.append('%s: saved with status %s' % (
                    path, results.get(('save', path), {}).get('status')))
                continue
            seen = soxi(full)
            want = (sox_type, str(rate), str(channels), encoding, str(sox_bits))
            if seen != want:
                problems.append('%s: soxi says %s' % (path, '/'.join(seen)))
            why = loaded_as(results.get(('load', path)), rate, channels, 1, bits if kind in (
                'wav', 'au', 'aiff') else 16)
            if why:
                problems.append('%s: ours %s' % (path, why))
                continue
            subprocess.run(['sox', '-D', full, '-t', 'raw', '-e', 'signed-integer', '-b', '16',
                            full + '.sox.raw'], check=True)
            theirs, ours = read16(full + '.sox.raw'), read16(full + '.ours.raw')
            original = to16(open(os.path.join(folder, 'sig_%d_%d_%d.raw' % (
                rate, channels, bits)), 'rb').read(), bits)
            if len(theirs) != len(original) or theirs != ours:
                problems.append('%s: sox decodes %d samples, ours %d, largest difference %d' % (
                    path, len(theirs), len(ours), max_difference(theirs, ours)))
            elif kind in ('wav', 'au', 'aiff') and ours != original:
                problems.append('%s: not the samples saved (largest difference %d)' % (
                    path, max_difference(ours, original)))
            elif any(abs(x - y) > abs(y) // 16 + 16 for x, y in zip(ours, original)):
                problems.append('%s: beyond the companding step (largest difference %d)' % (
                    path, max_difference(ours, original)))
        what = 'ours -> sox %s: %d files, soxi reads kind, rate, channels, encoding; ' \
               'sox decodes our samples' % (name, count)
        verdicts.append((what, problems))
    return verdicts


def check_sox(folder, results):
    """One verdict per kind sox writes, with the largest difference measured."""
    verdicts = []
    for name, _, _, _, _, (tag, bits), (stored_tag, stored_bits) in SOX:
        problems, count, largest = [], 0, 0
        for _, _, rate, channels, path in [f for f in sox_files() if f[0] == name]:
            count += 1
            full = os.path.join(folder, path)
            why = loaded_as(results.get(('header', path)), rate, channels, stored_tag,
                            stored_bits, samples=False)
            if why:
                problems.append('%s: header only %s' % (path, why))
            why = loaded_as(results.get(('load', path)), rate, channels, tag, bits)
            if why:
                problems.append('%s: %s' % (path, why))
                continue
            theirs, ours = read16(full + '.sox.raw'), read16(full + '.ours.raw')
            difference = max_difference(theirs, ours)
            largest = max(largest, difference)
            if len(theirs) != len(ours) or difference > TOLERANCE.get(name, 0):
                problems.append('%s: sox %d samples, ours %d, largest difference %d' % (
                    path, len(theirs), len(ours), difference))
        what = 'sox -> ours %s: %d files load with their format (also header only) and ' \
               'sox\'s samples (largest difference %d, allowed %d)' % (
                   name, count, largest, TOLERANCE.get(name, 0))
        verdicts.append((what, problems))
    return verdicts


def check_info(folder, results):
    texts = info_texts()

    def differences(got):
        return ['%s %r' % (tag, got.get(tag)) for tag in INFO_TAGS if got.get(tag) != texts[tag]]

    problems = []
    first, second = results.get(('load', 'info_in.wav')), results.get(('load', 'info_out.wav'))
    if results.get(('resave', 'info_out.wav'), {}).get('status') != '0':
        problems.append('saved with status %s' % results.get(('resave', 'info_out.wav'), {}).get(
            'status'))
    for label, result in (('loaded', first), ('reloaded', second)):
        if result is None or result.get('status') != '0':
            problems.append('not %s' % label)
        elif differences(result['info']):
            problems.append('%s: %s' % (label, '; '.join(differences(result['info']))))
    saved = os.path.join(folder, 'info_out.wav')
    if os.path.exists(saved) and differences(read_info(saved)):
        problems.append('in the saved file: %s' % '; '.join(differences(read_info(saved))))
    if first and second and read16(os.path.join(folder, 'info_in.raw')) != read16(
            os.path.join(folder, 'info_out.raw')):
        problems.append('the samples changed')
    return [('INFO: all 23 texts survive a save and reload', problems)]


def check(folder, output):
    results = tool_output(output)
    verdicts = check_ours(folder, results) + check_sox(folder, results) + check_info(
        folder, results)
    for what, problems in verdicts:
        if problems:
            print('FAIL %s: %s%s' % (what, '; '.join(problems[:3]),
                                     ' (and %d more)' % (len(problems) - 3)
                                     if len(problems) > 3 else ''))
        else:
            print('ok %s' % what)
    print('checks %d' % len(verdicts))


if __name__ == '__main__':
    if len(sys.argv) == 3 and sys.argv[1] == 'prepare':
        prepare(sys.argv[2])
    elif len(sys.argv) == 4 and sys.argv[1] == 'check':
        check(sys.argv[2], sys.argv[3])
    else:
        sys.exit(__doc__)
