#!/usr/bin/env python3
"""Writes a handful of small, valid archives into the folder given as the
only argument, as starting points for the UNZDLL fuzz target: stored,
deflated, BZip2 and LZMA members, a data descriptor, folders, a Zip64
archive, an archive behind a stub, and (when 7zz is there) ZipCrypto, AES
and Deflate64 members with the password the target uses ("pw"); and the
cases made to keep a reader busy or take its memory, small
(bounds_archives.py): sizes no file can hold, members sharing their data,
data asking for more than 1 GiB of working memory, members whose decoders
need memory one after the other."""
import io
import os
import subprocess
import sys
import tempfile
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
import bounds_archives  # noqa: E402
import zipbytes  # noqa: E402

out = sys.argv[1]
os.makedirs(out, exist_ok=True)


def save(name, data):
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)


build = zipbytes.sample_archive
save("stored.zip", build(zipfile.ZIP_STORED))
save("deflated.zip", build(zipfile.ZIP_DEFLATED))
save("zip64.zip", build(zipfile.ZIP_DEFLATED, zip64=True))
save("bzip2.zip", build(zipfile.ZIP_BZIP2))
save("lzma.zip", build(zipfile.ZIP_LZMA))
save("stub.exe", zipbytes.self_extractor(build(zipfile.ZIP_DEFLATED), zipbytes.stub(200)))
save("empty_sfx.exe", zipbytes.stub(100) + zipbytes.empty_archive(zipbytes.OLD_EMPTY_SFX_OFFSET))
hostile = io.BytesIO()
with zipfile.ZipFile(hostile, "w") as z:
    z.writestr("../x", b"x")
    z.writestr("/abs", b"y")
save("hostile.zip", hostile.getvalue())
save("lying-zip64.zip", bounds_archives.lying_zip64_sizes())
save("lying-zip64-streamed.zip", bounds_archives.lying_zip64_sizes(streamed=True))
save("shared-data.zip", bounds_archives.shared_data_bomb(20, 1000))
save("bzip2-zeros.zip", bounds_archives.bzip2_zeros(2, 1 << 20))
save("lzma-4g-dictionary.zip", bounds_archives.lzma_big_dictionary())
save("greedy-methods.zip", bounds_archives.greedy_methods())
save("memory-in-turn.zip", bounds_archives.members_needing_memory(1 << 20))

with tempfile.TemporaryDirectory() as tmp:
    with open(os.path.join(tmp, "t.txt"), "wb") as f:
        f.write(b"secret text " * 40)
    for name, extra in [("zipcrypto.zip", ["-mem=ZipCrypto"]), ("aes.zip", ["-mem=AES256"]),
                        ("deflate64.zip", ["-mm=Deflate64"])]:
        try:
            subprocess.run(["7zz", "a", "-tzip", "-bd", "-ppw"] + extra + [os.path.join(out, name), "t.txt"],
                           cwd=tmp, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        except (OSError, subprocess.CalledProcessError):
            pass
    # Zip64 fields in the local and central headers of a small member.
    try:
        subprocess.run(["zip", "-q", "-fz", os.path.join(out, "zip-fz.zip"), "t.txt"], cwd=tmp, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    except (OSError, subprocess.CalledProcessError):
        pass
