#!/usr/bin/env python3
"""Seed archives for the listing fuzzer: plain, behind a stub, empty, and
written to a stream (data descriptors, a stored archive inside a member,
Zip64 sizes), plain and behind a stub, and with Zip64 local headers."""
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


class Unseekable(io.RawIOBase):
    """A stream that cannot seek back: members get flag bit 3, zero sizes in
    their local headers and a trailing data descriptor."""

    def __init__(self, f):
        self.f = f

    def writable(self):
        return True

    def write(self, b):
        return self.f.write(b)

    def seekable(self):
        return False


stream = io.BytesIO()
with zipfile.ZipFile(Unseekable(stream), "w") as z:
    z.writestr("inner.zip", plain, compress_type=zipfile.ZIP_STORED)
    with z.open("streamed.txt", "w") as f:
        f.write(b"streamed data\n" * 10)
    with z.open("wide.txt", "w", force_zip64=True) as f:
        f.write(b"zip64 descriptor\n" * 5)
seeds["descriptor.zip"] = stream.getvalue()
seeds["descriptor-stub.exe"] = b"MZ" + b"\x00" * 300 + b"MPU" + b"\x00" * 253 + stream.getvalue()

# Sizes in the local header's Zip64 field (all ones in its 32-bit fields),
# as written for members of 4 GiB and more.
wide = io.BytesIO()
with zipfile.ZipFile(wide, "w") as z:
    with z.open("wide-local.txt", "w", force_zip64=True) as f:
        f.write(b"zip64 local header\n" * 8)
    z.writestr("after.txt", b"after\n")
seeds["zip64-local.zip"] = wide.getvalue()
seeds["zip64-local-stub.exe"] = b"MZ" + b"\x00" * 300 + b"MPU" + b"\x00" * 253 + wide.getvalue()

for name, data in seeds.items():
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
