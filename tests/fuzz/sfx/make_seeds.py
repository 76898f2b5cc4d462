#!/usr/bin/env python3
"""Writes small self-extracting programs into the folder given as the only
argument, as starting points for the stub's archive reader fuzz target: a
stub, the 256-byte settings header and an archive (stored, deflated,
streamed with data descriptors, Zip64), an empty program, and hostile ones
(local and central names that differ, members sharing their data, a member
count that wrapped, central records claiming more than the file holds)."""
import os
import sys
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
import bounds_archives  # noqa: E402
import zipbytes  # noqa: E402

out = sys.argv[1]
os.makedirs(out, exist_ok=True)

STUB = b"\x7fELF" + b"\0" * 400


def save(name, archive):
    header = dict(caption=b"Setup", folder=b"dest", options=zipbytes.OVERWRITE_ALWAYS)
    with open(os.path.join(out, name), "wb") as f:
        f.write(zipbytes.self_extractor(archive, STUB, **header))


build = zipbytes.sample_archive
save("stored.exe", build(zipfile.ZIP_STORED))
save("deflated.exe", build(zipfile.ZIP_DEFLATED))
save("streamed.exe", build(zipfile.ZIP_DEFLATED, streamed=True))
save("zip64.exe", build(zipfile.ZIP_DEFLATED, zip64=True))
save("empty.exe", zipbytes.empty_archive(zipbytes.OLD_EMPTY_SFX_OFFSET))

# The same member under another name in the central directory.
plain = build(zipfile.ZIP_STORED)
central = plain.find(b"PK\x01\x02")
save("renamed.exe", plain[:central] + plain[central:].replace(b"b.bin", b"c.bin"))

# Ten directory entries over one member's data.
data = b"z" * 1000
crc = zipfile.crc32(data)
body = zipbytes.local_header(b"bomb", crc, len(data), len(data), date=0, time=0) + data
directory = b"".join(zipbytes.central_header(b"bomb%d" % i, crc, len(data), len(data), 0, date=0, time=0)
                     for i in range(10))
save("overlap.exe", body + directory + zipbytes.end_record(10, len(directory), len(body)))

# Three members, the end record counting one.
body, directory = b"", b""
for name in (b"one", b"two", b"three"):
    crc = zipfile.crc32(name)
    directory += zipbytes.central_header(name, crc, len(name), len(name), len(body), date=0, time=0)
    body += zipbytes.local_header(name, crc, len(name), len(name), date=0, time=0) + name
wrapped = body + directory + zipbytes.end_record(3, len(directory), len(body))
wrapped = wrapped[:-14] + (1).to_bytes(2, "little") * 2 + wrapped[-10:]
save("wrapped.exe", wrapped)

# A central record whose Zip64 field claims 2^64 - 1 bytes, plain and as
# written to a stream.
save("lying-zip64.exe", bounds_archives.lying_zip64_sizes())
save("lying-zip64-streamed.exe", bounds_archives.lying_zip64_sizes(streamed=True))
