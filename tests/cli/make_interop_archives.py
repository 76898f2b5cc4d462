#!/usr/bin/env python3
"""Writes archives with Python's zipfile into the folder given as argument:
stored and deflated members, empty files, folders, UTF-8 names and a comment;
and one written to a stream that cannot seek back."""
import io
import os
import sys
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import zipbytes  # noqa: E402

out = sys.argv[1]
data = bytes((i * 37) % 251 for i in range(70000))
text = ("Fernpack interop line\n" * 4000).encode()

with zipfile.ZipFile(os.path.join(out, "py-mixed.zip"), "w") as z:
    z.writestr("stored.bin", data, compress_type=zipfile.ZIP_STORED)
    z.writestr("deflated.txt", text, compress_type=zipfile.ZIP_DEFLATED)
    z.writestr("empty", b"")
    z.writestr("folder/", b"")
    z.writestr("folder/n\u00e4me \u2013 \u00fc.txt", text[:999], compress_type=zipfile.ZIP_DEFLATED)
    z.comment = b"made by the interop test"

with zipfile.ZipFile(os.path.join(out, "py-many.zip"), "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    for i in range(500):
        z.writestr(f"many/{i:04d}.txt", text[: (i * 131) % 5000])


inner = io.BytesIO()
with zipfile.ZipFile(inner, "w", zipfile.ZIP_STORED) as z:
    z.writestr("inner-a.txt", text[:500])
    z.writestr("inner-b.txt", data[:300])

with open(os.path.join(out, "py-streamed.zip"), "wb") as raw:
    with zipfile.ZipFile(zipbytes.Unseekable(raw), "w") as z:
        # A stored archive inside a streamed member: never to be walked into.
        z.writestr("inner.zip", inner.getvalue(), compress_type=zipfile.ZIP_STORED)
        z.writestr("deflated.txt", text, compress_type=zipfile.ZIP_DEFLATED)
        z.writestr("empty", b"")
        z.writestr("folder/", b"")
        with z.open("zip64.bin", "w", force_zip64=True) as w:
            w.write(data)
        z.writestr("last.txt", b"the end\n", compress_type=zipfile.ZIP_DEFLATED)
