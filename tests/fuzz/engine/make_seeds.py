#!/usr/bin/env python3
"""Seed archives for the listing fuzzer: plain, behind a stub, with a data
descriptor, and empty."""
import io
import os
import sys
import zipfile

out = sys.argv[1]


def archive(**members):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as z:
        for name, (data, method) in members.items():
            z.writestr(name, data, compress_type=method)
    return buffer.getvalue()


plain = archive(**{"a.txt": (b"hello\n", zipfile.ZIP_STORED),
                   "dir/b.txt": (b"fernpack " * 40, zipfile.ZIP_DEFLATED),
                   "dir/": (b"", zipfile.ZIP_STORED)})
seeds = {
    "plain.zip": plain,
    "stub.exe": b"MZ" + b"\x00" * 300 + b"MPU" + b"\x00" * 253 + plain,
    "empty.zip": archive(),
}
# A member written to a stream gets its sizes in a trailing data descriptor.
stream = io.BytesIO()
with zipfile.ZipFile(stream, "w") as z:
    with z.open("streamed.txt", "w") as f:
        f.write(b"streamed data\n" * 10)
seeds["descriptor.zip"] = stream.getvalue()

for name, data in seeds.items():
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
