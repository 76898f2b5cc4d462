#!/usr/bin/env python3
"""Writes raw deflate streams into the folder given as the only argument, as
starting points for the inflater fuzz target: stored, fixed and dynamic
blocks, long distances. The first byte of each seed is the target's
piece-size byte."""
import os
import random
import sys
import zlib

out = sys.argv[1]
os.makedirs(out, exist_ok=True)
rng = random.Random(5)
texts = {
    "empty": b"",
    "text": b"the quick brown fox jumps over the lazy dog\n" * 40,
    "random": rng.randbytes(3000),
    "far": (lambda r: r + b"x" * 100 + r)(rng.randbytes(20000)),
}
for name, data in texts.items():
    for level in (0, 1, 9):
        c = zlib.compressobj(level, zlib.DEFLATED, -15)
        stream = c.compress(data) + c.flush()
        with open(os.path.join(out, f"{name}_{level}"), "wb") as f:
            f.write(bytes([7]) + stream)
