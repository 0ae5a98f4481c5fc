#!/usr/bin/env python3
"""floatWav.py write OUT.wav FRAMES | compare IN.wav OUT.wav
write: a 48 kHz stereo 32-bit float WAV of FRAMES frames: tones, noise and
extreme values (denormals, full scale, beyond full scale).
compare: exit 1 unless both files hold the same format and the same sample
bits; the headers may differ."""
import math, random, struct, sys


def data_of(path):
    raw = open(path, 'rb').read()
    if raw[:4] != b'RIFF' or raw[8:12] != b'WAVE':
        sys.exit(f'{path}: not a WAV file')
    pos, fmt = 12, None
    while pos + 8 <= len(raw):
        cid, size = raw[pos:pos + 4], struct.unpack('<I', raw[pos + 4:pos + 8])[0]
        body = raw[pos + 8:pos + 8 + size]
        if cid == b'fmt ':
            fmt = struct.unpack('<HHIIHH', body[:16])
        elif cid == b'data':
            return fmt, body
        pos += 8 + size + (size & 1)
    sys.exit(f'{path}: no data chunk')


if sys.argv[1] == 'write':
    frames = int(sys.argv[3])
    rng = random.Random(23)
    special = [1e-40, -1e-40, 1.0, -1.0, 3.5, -0.0]
    samples = []
    for n in range(frames):
        left = 0.5 * math.sin(2 * math.pi * 1000 * n / 48000) + 0.01 * rng.uniform(-1, 1)
        right = special[n % len(special)] if n % 97 == 0 else rng.uniform(-1, 1) * 0.25
        samples += [left, right]
    body = struct.pack(f'<{len(samples)}f', *samples)
    fmt = struct.pack('<HHIIHH', 3, 2, 48000, 48000 * 8, 8, 32)
    riff = b'WAVE' + b'fmt ' + struct.pack('<I', 16) + fmt + b'data' + struct.pack('<I', len(body)) + body
    open(sys.argv[2], 'wb').write(b'RIFF' + struct.pack('<I', len(riff)) + riff)
elif sys.argv[1] == 'compare':
    (fa, a), (fb, b) = data_of(sys.argv[2]), data_of(sys.argv[3])
    if fa != fb:
        sys.exit(f'formats differ: {fa} vs {fb}')
    if a != b:
        diff = next(i for i in range(min(len(a), len(b))) if a[i] != b[i]) if len(a) == len(b) else None
        sys.exit(f'samples differ ({len(a)} vs {len(b)} bytes, first difference at byte {diff})')
    print(f'{len(a) // 4} samples, bit for bit')
else:
    sys.exit(__doc__)
