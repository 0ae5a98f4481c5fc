#!/usr/bin/env python3
"""compare_wav.py IN.wav OUT.wav MAX_LSB
Compares Ardour's export OUT (16-bit PCM or 32-bit float WAV) with the
16-bit input IN, sample by sample, in units of the input's least
significant bit. Exit status 1 when any sample differs by more than
MAX_LSB. Ardour may leave the chunk sizes of an export at zero; the data
then runs to the end of the file."""
import struct, sys


def read(path):
    raw = open(path, 'rb').read()
    if raw[:4] != b'RIFF' or raw[8:12] != b'WAVE':
        sys.exit(f'{path}: not a WAV file')
    pos, fmt, data = 12, None, None
    while pos + 8 <= len(raw):
        cid = raw[pos:pos + 4]
        size = struct.unpack('<I', raw[pos + 4:pos + 8])[0]
        body = raw[pos + 8:] if size == 0 and cid == b'data' else raw[pos + 8:pos + 8 + size]
        if cid == b'fmt ':
            fmt = struct.unpack('<HHIIHH', body[:16])
        elif cid == b'data':
            data = body
            break
        pos += 8 + size + (size & 1)
    if fmt is None or data is None:
        sys.exit(f'{path}: no fmt or data chunk')
    kind, channels, rate, _, _, bits = fmt
    if kind == 1 and bits == 16:
        values = [v / 32768.0 for v in struct.unpack(f'<{len(data) // 2}h', data[:len(data) // 2 * 2])]
    elif kind == 3 and bits == 32:
        values = list(struct.unpack(f'<{len(data) // 4}f', data[:len(data) // 4 * 4]))
    else:
        sys.exit(f'{path}: format {kind}/{bits} bits not handled')
    return channels, rate, values


inputs = read(sys.argv[1])
outputs = read(sys.argv[2])
limit = float(sys.argv[3])
if inputs[:2] != outputs[:2]:
    sys.exit(f'channels/rate differ: {inputs[:2]} vs {outputs[:2]}')
a, b = inputs[2], outputs[2]
if len(a) != len(b):
    sys.exit(f'lengths differ: {len(a)} vs {len(b)} samples')
worst = max(abs(x - y) * 32768.0 for x, y in zip(a, b))
exact = sum(1 for x, y in zip(a, b) if x == y)
print(f'{len(a)} samples, {exact} identical, largest difference {worst:g} LSB (limit {limit:g})')
sys.exit(0 if worst <= limit else 1)
