#!/usr/bin/env python3
"""Seed archives for the listing fuzzer: plain, behind a stub, empty, and
written to a stream (data descriptors, a stored archive inside a member,
Zip64 sizes), plain and behind a stub, with Zip64 local headers, and with
central records that claim more than the file holds or entries that share
their data (bounds_archives.py)."""
import io
import os
import sys
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
import bounds_archives  # noqa: E402
import zipbytes  # noqa: E402

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
    "stub.exe": zipbytes.self_extractor(plain, zipbytes.stub(300)),
    "empty.zip": archive(),
}

stream = io.BytesIO()
with zipfile.ZipFile(zipbytes.Unseekable(stream), "w") as z:
    z.writestr("inner.zip", plain, compress_type=zipfile.ZIP_STORED)
    with z.open("streamed.txt", "w") as f:
        f.write(b"streamed data\n" * 10)
    with z.open("wide.txt", "w", force_zip64=True) as f:
        f.write(b"zip64 descriptor\n" * 5)
seeds["descriptor.zip"] = stream.getvalue()
seeds["descriptor-stub.exe"] = zipbytes.self_extractor(stream.getvalue(), zipbytes.stub(300))

# Sizes in the local header's Zip64 field (all ones in its 32-bit fields),
# as written for members of 4 GiB and more.
wide = io.BytesIO()
with zipfile.ZipFile(wide, "w") as z:
    with z.open("wide-local.txt", "w", force_zip64=True) as f:
        f.write(b"zip64 local header\n" * 8)
    z.writestr("after.txt", b"after\n")
seeds["zip64-local.zip"] = wide.getvalue()
seeds["zip64-local-stub.exe"] = zipbytes.self_extractor(wide.getvalue(), zipbytes.stub(300))

seeds["lying-zip64.zip"] = bounds_archives.lying_zip64_sizes()
seeds["lying-zip64-streamed.zip"] = bounds_archives.lying_zip64_sizes(streamed=True)
seeds["shared-data.zip"] = bounds_archives.shared_data_bomb(20, 1000)

for name, data in seeds.items():
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
