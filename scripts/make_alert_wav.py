#!/usr/bin/env python3
"""Writes data/x.wav, Skimby's alert: two short rising chime notes.

16-bit mono PCM at 22050 Hz, about a third of a second. The output is the
same on every run, so the committed file can be checked by regenerating it.
Usage: scripts/make_alert_wav.py [output path]
"""
import math
import os
import struct
import sys
import wave

RATE = 22050
PEAK = 0.45 * 32767


def note(freq, seconds):
    """A sine with a little second and third harmonic, a 4 ms attack and an
    exponential decay that reaches silence at the end of the note."""
    n = int(RATE * seconds)
    attack = int(RATE * 0.004)
    out = []
    for i in range(n):
        t = i / RATE
        tone = (math.sin(2 * math.pi * freq * t)
                + 0.25 * math.sin(2 * math.pi * 2 * freq * t)
                + 0.10 * math.sin(2 * math.pi * 3 * freq * t)) / 1.35
        envelope = min(1.0, i / attack) * math.exp(-5.0 * i / n) * (1 - i / n)
        out.append(tone * envelope)
    return out


def silence(seconds):
    return [0.0] * int(RATE * seconds)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "x.wav")
    samples = note(1046.5, 0.12) + silence(0.04) + note(1568.0, 0.16)
    frames = b"".join(struct.pack("<h", int(round(s * PEAK))) for s in samples)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)


if __name__ == "__main__":
    main()
