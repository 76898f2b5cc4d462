#!/usr/bin/env python3
"""Writes small self-extracting programs into the folder given as the only
argument, as starting points for the stub's archive reader fuzz target: a
stub, the 256-byte settings header and an archive (stored, deflated,
streamed with data descriptors, Zip64), an empty program, and hostile ones
(local and central names that differ, members sharing their data, a member
count that wrapped)."""
import io
import os
import struct
import sys
import zipfile

out = sys.argv[1]
os.makedirs(out, exist_ok=True)

STUB = b"\x7fELF" + b"\0" * 400


def header(caption=b"Setup", folder=b"dest", command=b""):
    texts = caption + folder + command
    return b"MPU" + bytes([8, len(caption), len(folder), len(command)]) + texts + b"\0" * (249 - len(texts))


def save(name, archive):
    with open(os.path.join(out, name), "wb") as f:
        f.write(STUB + header() + archive)


class Unseekable(io.RawIOBase):
    def __init__(self, f):
        self.f = f

    def writable(self):
        return True

    def write(self, b):
        return self.f.write(b)

    def seekable(self):
        return False


def build(method, streamed=False, zip64=False):
    buf = io.BytesIO()
    with zipfile.ZipFile(Unseekable(buf) if streamed else buf, "w", method) as z:
        z.writestr("dir/", b"")
        z.writestr("dir/a.txt", b"hello hello hello\n" * 20)
        z.writestr("b.bin", bytes(range(256)))
        if zip64:
            with z.open("big.txt", "w", force_zip64=True) as w:
                w.write(b"zip64 " * 50)
    return buf.getvalue()


save("stored.exe", build(zipfile.ZIP_STORED))
save("deflated.exe", build(zipfile.ZIP_DEFLATED))
save("streamed.exe", build(zipfile.ZIP_DEFLATED, streamed=True))
save("zip64.exe", build(zipfile.ZIP_DEFLATED, zip64=True))
save("empty.exe", b"PK\x05\x06" + b"\0" * 12 + b"\x00\x99\x00\x00" + b"\0\0")

# The same member under another name in the central directory.
plain = build(zipfile.ZIP_STORED)
central = plain.find(b"PK\x01\x02")
save("renamed.exe", plain[:central] + plain[central:].replace(b"b.bin", b"c.bin"))


def local(name, data):
    return struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 0, 0, 0, 0, zipfile.crc32(data), len(data), len(data),
                       len(name), 0) + name + data


def central_entry(name, data, offset):
    return struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, 0, 0, 0, 0, zipfile.crc32(data), len(data),
                       len(data), len(name), 0, 0, 0, 0, 0, offset) + name


def end(count, size, offset):
    return struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, count & 0xFFFF, count & 0xFFFF, size, offset, 0)


# Ten directory entries over one member's data.
data = b"z" * 1000
body = local(b"bomb", data)
directory = b"".join(central_entry(b"bomb%d" % i, data, 0) for i in range(10))
save("overlap.exe", body + directory + end(10, len(directory), len(body)))

# Three members, the end record counting one.
body, directory = b"", b""
for name in (b"one", b"two", b"three"):
    directory += central_entry(name, name, len(body))
    body += local(name, name)
wrapped = body + directory + end(3, len(directory), len(body))
wrapped = wrapped[:-14] + struct.pack("<HH", 1, 1) + wrapped[-10:]
save("wrapped.exe", wrapped)
