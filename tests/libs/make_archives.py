#!/usr/bin/env python3
"""Writes the archives the UNZDLL tests read, into the folder given as the
only argument: a source tree (src/), archives of it made by Python's zipfile,
Info-ZIP zip and 7-Zip (plain, ZipCrypto and AES), copies behind a stub with
a 256-byte "MPU" header, an empty self-extractor, a Zip64 archive with more
than 65,535 members, unsupported methods, and hostile names. Everything is
generated here; a peer tool that is missing just leaves its archives out."""
import io
import os
import random
import shutil
import stat
import struct
import subprocess
import sys
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import zipbytes  # noqa: E402

out = sys.argv[1]
src = os.path.join(out, "src")
PASSWORD = "s3cret pass"


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def make_tree():
    rng = random.Random(1234)
    write(os.path.join(src, "readme.txt"), b"Fernpack test tree\n" * 50)
    write(os.path.join(src, "empty.txt"), b"")
    write(os.path.join(src, "docs", "numbers.txt"), "".join(f"{i}\n" for i in range(60000)).encode())
    write(os.path.join(src, "docs", "deep", "er", "leaf.txt"), b"leaf\n")
    write(os.path.join(src, "bin", "random.bin"), bytes(rng.getrandbits(8) for _ in range(150000)))
    write(os.path.join(src, "bin", "step.bin"), bytes(rng.getrandbits(8) for _ in range(32768 * 2 + 1)))
    write(os.path.join(src, "dossier-\u00e9t\u00e9", "fichier-\u00fc.txt"), "caf\u00e9\n".encode() * 100)
    os.makedirs(os.path.join(src, "emptydir"), exist_ok=True)
    os.chmod(os.path.join(src, "readme.txt"), 0o755)
    for root, dirs, files in os.walk(src):
        for n in files + dirs:
            os.utime(os.path.join(root, n), (1700000000, 1700000000))


def tree_items():
    items = []
    for root, dirs, files in os.walk(src):
        dirs.sort()
        rel = os.path.relpath(root, src)
        if rel != ".":
            items.append((rel.replace(os.sep, "/") + "/", None))
        for f in sorted(files):
            p = os.path.join(root, f)
            items.append((os.path.relpath(p, src).replace(os.sep, "/"), p))
    return items


def python_zip(name, method, descriptors=False):
    path = os.path.join(out, name)
    if descriptors:
        with open(path, "wb") as raw:
            with zipfile.ZipFile(zipbytes.Unseekable(raw), "w", method) as z:
                for arc, p in tree_items():
                    if p is None:
                        continue
                    with open(p, "rb") as f:
                        data = f.read()
                    info = zipfile.ZipInfo(arc, (2023, 11, 14, 22, 13, 20))
                    info.compress_type = method
                    with z.open(info, "w") as w:
                        w.write(data)
    else:
        with zipfile.ZipFile(path, "w", method) as z:
            for arc, p in tree_items():
                z.write(p if p else os.path.join(src, arc), arc)


def tool(cmd, cwd):
    try:
        subprocess.run(cmd, cwd=cwd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return True
    except (OSError, subprocess.CalledProcessError):
        return False


def peer_archives():
    for name, cmd in [
        ("infozip.zip", ["zip", "-q", "-r", "-X"]),
        ("infozip_crypto.zip", ["zip", "-q", "-r", "-P", PASSWORD]),
        ("sevenzip.zip", ["7zz", "a", "-tzip", "-bd"]),
        ("sevenzip_crypto.zip", ["7zz", "a", "-tzip", "-bd", "-mem=ZipCrypto", "-p" + PASSWORD]),
        ("sevenzip_aes128.zip", ["7zz", "a", "-tzip", "-bd", "-mem=AES128", "-p" + PASSWORD]),
        ("sevenzip_aes256.zip", ["7zz", "a", "-tzip", "-bd", "-mem=AES256", "-p" + PASSWORD]),
        ("sevenzip_stored.zip", ["7zz", "a", "-tzip", "-bd", "-mx=0"]),
        ("sevenzip_deflate64.zip", ["7zz", "a", "-tzip", "-bd", "-mm=Deflate64"]),
        ("sevenzip_bzip2.zip", ["7zz", "a", "-tzip", "-bd", "-mm=BZip2"]),
        ("sevenzip_lzma.zip", ["7zz", "a", "-tzip", "-bd", "-mm=LZMA"]),
        ("sevenzip_aes_bzip2.zip", ["7zz", "a", "-tzip", "-bd", "-mm=BZip2", "-mem=AES256", "-p" + PASSWORD]),
    ]:
        target = os.path.join(out, name)
        if name.startswith("infozip"):
            tool(cmd + [target, "."], src)
        else:
            tool(cmd + [target, "."], src)
    # Info-ZIP writes a data descriptor for data read from a pipe.
    with open(os.path.join(src, "docs", "numbers.txt"), "rb") as f:
        try:
            subprocess.run(["zip", "-q", os.path.join(out, "infozip_pipe.zip"), "-"], stdin=f, check=True)
        except (OSError, subprocess.CalledProcessError):
            pass


def sfx_copies():
    caption = b"Self-extracting Archive"
    # A false local header signature inside the stub must not confuse
    # anyone reading the archive behind it.
    with_signature = zipbytes.stub(false_signature=True)
    for name in ["python_deflated.zip", "infozip.zip", "sevenzip_aes256.zip", "infozip_crypto.zip"]:
        p = os.path.join(out, name)
        if os.path.exists(p):
            with open(p, "rb") as f:
                data = f.read()
            write(os.path.join(out, "sfx_" + name[:-4] + ".exe"),
                  zipbytes.self_extractor(data, with_signature, caption=caption))
    # In front of an empty archive a local header is member data: the stub
    # of an empty program holds none (as ZIPSFX.BIN never does).
    write(os.path.join(out, "sfx_empty.exe"),
          zipbytes.self_extractor(zipbytes.empty_archive(zipbytes.OLD_EMPTY_SFX_OFFSET), caption=caption))


def special_archives():
    # More than 65,535 members: Zip64 end record and locator.
    with zipfile.ZipFile(os.path.join(out, "zip64_many.zip"), "w", zipfile.ZIP_STORED) as z:
        for i in range(70000):
            z.writestr(f"m/{i:05d}", b"")
    # Methods this library does not read (PPMd, WavPack), next to one it
    # does: stored members whose method field is then changed.
    buf = io.BytesIO()
    with zipfile.ZipFile(buf, "w") as z:
        z.writestr(zipfile.ZipInfo("plain.txt"), b"plain\n", zipfile.ZIP_DEFLATED)
        z.writestr(zipfile.ZipInfo("packed.ppmd"), b"ppmd data\n" * 10)
        z.writestr(zipfile.ZipInfo("packed.wv"), b"wavpack data\n" * 10)
    data = bytearray(buf.getvalue())
    for name, method in [(b"packed.ppmd", 98), (b"packed.wv", 97)]:
        # The method field of the member's local and central header.
        for sig, fixed, at in [(b"PK\x03\x04", 30, 8), (b"PK\x01\x02", 46, 10)]:
            pos = data.find(sig)
            while data[pos + fixed:pos + fixed + len(name)] != name:
                pos = data.find(sig, pos + 1)
            data[pos + at:pos + at + 2] = struct.pack("<H", method)
    write(os.path.join(out, "methods.zip"), bytes(data))
    # Python's own BZip2 and LZMA (with the end marker and flag bit 1).
    python_zip("python_bzip2.zip", zipfile.ZIP_BZIP2)
    python_zip("python_lzma.zip", zipfile.ZIP_LZMA)
    # Names that select differently from patterns.
    with zipfile.ZipFile(os.path.join(out, "names.zip"), "w") as z:
        for n in ["star*.txt", "starX.txt", "a/b/c.txt", "a/d.dat", "Case.TXT", "noext"]:
            z.writestr(n, n.encode())
    # Unix permission bits, including set-uid that must not survive.
    with zipfile.ZipFile(os.path.join(out, "modes.zip"), "w") as z:
        for n, mode in [("exec.sh", 0o100755), ("setuid.sh", 0o104755), ("private.txt", 0o100600)]:
            info = zipfile.ZipInfo(n, (2020, 1, 2, 3, 4, 6))
            info.create_system = 3
            info.external_attr = mode << 16
            z.writestr(info, b"#!/bin/sh\n")


def patched_archives():
    # A member whose stated size the 32-bit interface cannot carry.
    buf = io.BytesIO()
    with zipfile.ZipFile(buf, "w") as z:
        z.writestr("small.txt", b"small\n")
        z.writestr("huge.bin", b"not really huge\n")
    data = bytearray(buf.getvalue())
    cd = data.rfind(b"PK\x01\x02")  # the last central header: huge.bin
    data[cd + 24:cd + 28] = struct.pack("<I", 0x90000000)
    write(os.path.join(out, "huge.zip"), bytes(data))
    # The end record of one part of a split archive.
    split = bytearray(buf.getvalue())
    end = split.rfind(b"PK\x05\x06")
    split[end + 4:end + 6] = struct.pack("<H", 1)
    write(os.path.join(out, "split.zip"), bytes(split))


def hostile_archives():
    def symlink_info(name):
        info = zipfile.ZipInfo(name)
        info.create_system = 3
        info.external_attr = (stat.S_IFLNK | 0o777) << 16
        return info

    with zipfile.ZipFile(os.path.join(out, "hostile.zip"), "w") as z:
        for n in ["../evil1.txt", "/tmp/evil2.txt", "a/../../evil3.txt", "C:/evil4.txt", "..\\evil5.txt",
                  "sub\\..\\..\\evil6.txt", "./ok/../../evil7.txt", "safe.txt"]:
            z.writestr(zipfile.ZipInfo(n), b"evil\n")
        z.writestr(symlink_info("link"), b"../outside")
        z.writestr(zipfile.ZipInfo("link/evil8.txt"), b"evil\n")
        z.writestr(symlink_info("abslink"), b"/tmp")
    # Through a link that is already on disk (the test makes it).
    with zipfile.ZipFile(os.path.join(out, "through_link.zip"), "w") as z:
        z.writestr(zipfile.ZipInfo("existing_link/evil9.txt"), b"evil\n")
        z.writestr(zipfile.ZipInfo("existing_file_link"), b"replaced\n")


make_tree()
python_zip("python_deflated.zip", zipfile.ZIP_DEFLATED)
python_zip("python_stored.zip", zipfile.ZIP_STORED)
python_zip("python_descriptor.zip", zipfile.ZIP_DEFLATED, descriptors=True)
peer_archives()
sfx_copies()
special_archives()
patched_archives()
hostile_archives()
