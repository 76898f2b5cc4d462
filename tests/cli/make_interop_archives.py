#!/usr/bin/env python3
"""Writes archives with Python's zipfile into the folder given as argument:
stored and deflated members, empty files, folders, UTF-8 names and a comment."""
import os
import sys
import zipfile

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
