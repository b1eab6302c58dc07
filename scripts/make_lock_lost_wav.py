#!/usr/bin/env python3
"""Writes resources/LockLost.wav, the sound played when the guide star is lost.

Two descending tones (880 Hz, then 660 Hz) with short fades so they do not click,
16-bit mono PCM at 22050 Hz, about 0.4 s. The output is the same on every run.
Usage: make_lock_lost_wav.py [output path]
"""

import math
import pathlib
import struct
import sys
import wave

RATE = 22050  # samples per second
AMPLITUDE = 0.5  # of full scale
FADE_S = 0.012  # fade-in and fade-out of each tone
TONES = ((880.0, 0.18), (660.0, 0.20))  # (frequency in Hz, length in s)
GAP_S = 0.02  # silence between the tones


def envelope(i, count):
    """Raised-cosine fade at both ends of a tone of `count` samples."""
    fade = int(FADE_S * RATE)
    edge = min(i, count - 1 - i)
    if edge >= fade:
        return 1.0
    return 0.5 - 0.5 * math.cos(math.pi * edge / fade)


def tone(frequency, seconds):
    count = int(seconds * RATE)
    return [
        AMPLITUDE * envelope(i, count) * math.sin(2.0 * math.pi * frequency * i / RATE)
        for i in range(count)
    ]


def samples():
    first, second = (tone(f, s) for f, s in TONES)
    return first + [0.0] * int(GAP_S * RATE) + second


def write(path):
    frames = b"".join(struct.pack("<h", round(s * 32767)) for s in samples())
    with wave.open(str(path), "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)


def main():
    default = pathlib.Path(__file__).resolve().parent.parent / "resources" / "LockLost.wav"
    write(pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else default)


if __name__ == "__main__":
    main()
