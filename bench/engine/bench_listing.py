#!/usr/bin/env python3
"""Listing speed: fernpack-cli list against unzip's zipinfo mode.

Usage: bench_listing.py BUILD_BIN_DIR

Builds, in a scratch folder, (1) a sparse archive of about 2 GB with three
stored members and (2) an archive of 100,000 small members, then times
`fernpack-cli list --tsv` and `unzip -Z1` on each (best of five runs) and
prints the figures and their ratio. Listing walks local headers and seeks
over member data, so its cost follows the member count, not the size."""
import os
import subprocess
import sys
import tempfile
import time
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "support"))
import zipbytes  # noqa: E402


def best_of(command, runs=5):
    best = float("inf")
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
        best = min(best, time.perf_counter() - start)
    return best


def sparse_archive(path, members=3, size=700 * 1024 * 1024):
    """Stored members whose data are holes: the file is 2 GB, the disk use tiny."""
    central = b""
    with open(path, "wb") as f:
        for i in range(members):
            name = f"part{i}.bin".encode()
            offset = f.tell()
            crc = 0  # the data are zeros; a real CRC is not needed to list
            f.write(zipbytes.local_header(name, crc, size, size))
            f.seek(size, os.SEEK_CUR)
            central += zipbytes.central_header(name, crc, size, size, offset)
        start = f.tell()
        f.write(central)
        f.write(zipbytes.end_record(members, len(central), start))


def many_members(path, count=100_000):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_STORED) as z:
        for i in range(count):
            z.writestr(f"folder{i // 1000:03d}/file{i:06d}.txt", f"member {i}\n")


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    cli = os.path.join(sys.argv[1], "fernpack-cli")
    with tempfile.TemporaryDirectory() as scratch:
        cases = {
            "2 GB, 3 members": os.path.join(scratch, "sparse.zip"),
            "100,000 members": os.path.join(scratch, "many.zip"),
        }
        sparse_archive(cases["2 GB, 3 members"])
        many_members(cases["100,000 members"])
        print(f"{'archive':<18} {'size':>12} {'fernpack':>10} {'unzip -Z1':>10} {'ratio':>7}")
        for label, path in cases.items():
            ours = best_of([cli, "list", "--tsv", path])
            theirs = best_of(["unzip", "-Z1", path])
            print(f"{label:<18} {os.path.getsize(path):>12,} {ours * 1000:>8.1f}ms {theirs * 1000:>8.1f}ms "
                  f"{ours / theirs:>7.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
