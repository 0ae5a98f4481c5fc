#!/usr/bin/env python3
"""make_signal.py OUT.wav [SECONDS]
A 48 kHz stereo 16-bit test signal for Ardour: steady tones at 100 Hz,
440 Hz, 1 kHz and 5 kHz, a sweep from 200 Hz to 16 kHz and soft noise, so
that bars all along the axis move."""
import math, random, struct, sys, wave

out = sys.argv[1]
seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 20.0
rate = 48000
frames = int(seconds * rate)
tones = [(100.0, 0.10), (440.0, 0.08), (1000.0, 0.08), (5000.0, 0.05)]
random.seed(7)
phases = [0.0] * len(tones)
sweep = 0.0
low = 0.0
data = bytearray()
for i in range(frames):
    t = i / rate
    value = 0.0
    for k, (f, a) in enumerate(tones):
        phases[k] += 2 * math.pi * f / rate
        value += a * math.sin(phases[k])
    f = 200.0 * (16000.0 / 200.0) ** (t / seconds)
    sweep += 2 * math.pi * f / rate
    value += 0.12 * math.sin(sweep)
    low = 0.98 * low + 0.02 * random.uniform(-1.0, 1.0)
    value += 0.3 * low + 0.004 * random.uniform(-1.0, 1.0)
    left = max(-32768, min(32767, int(round(value * 32767))))
    right = max(-32768, min(32767, int(round(0.8 * value * 32767))))
    data += struct.pack('<hh', left, right)
w = wave.open(out, 'wb')
w.setnchannels(2)
w.setsampwidth(2)
w.setframerate(rate)
w.writeframes(bytes(data))
w.close()
