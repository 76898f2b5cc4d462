#!/usr/bin/env python3
"""Test speed of UNZDLL.DLL (through the unzdrive driver) for each method it
reads beyond deflate, against `7zz t` on the same archive. One corpus (text
files and two half-random, half-repetitive binaries) goes into one archive
per method: 7zz writes Deflate64, BZip2 and LZMA; this script writes XZ
(Python's lzma) and Zstandard (the zstd program, skipped when missing)
members into a plain ZIP itself. Runs alternate between the tools; the
figures are medians of wall-clock and CPU (user + system) time, with our
ratio to 7zz's. Note that 7zz may decode BZip2 on several threads.

  bench_methods.py --bin BUILD/bin [--work DIR] [--runs 5] [--mb 60]

Use a build without sanitizers (e.g. Release) for meaningful numbers.
"""
import argparse
import lzma
import os
import random
import resource
import shutil
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "support"))
import zipbytes  # noqa: E402


def make_corpus(root, mb):
    rng = random.Random(7)
    words = ["".join(rng.choice("abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9)))
             for _ in range(3000)]
    os.makedirs(os.path.join(root, "text"))
    text_files = max(1, mb * 10 // 2)  # half the corpus in 100 KB texts
    for i in range(text_files):
        with open(os.path.join(root, "text", f"t{i:04d}.txt"), "w") as f:
            f.write(" ".join(rng.choice(words) for _ in range(17000))[:100000] + "\n")
    for i in range(2):
        with open(os.path.join(root, f"blob{i}.bin"), "wb") as f:
            for _ in range(max(1, mb // 4)):
                f.write(rng.randbytes(1 << 20) if rng.random() < 0.5 else rng.randbytes(64) * 16384)


def files(root):
    for dirpath, _, names in sorted(os.walk(root)):
        for n in sorted(names):
            p = os.path.join(dirpath, n)
            yield os.path.relpath(p, root), p


def write_zip(path, root, method, pack):
    """A plain ZIP of `root` whose members are packed by `pack` as `method`."""
    members = []
    for name, p in files(root):
        data = open(p, "rb").read()
        members.append(zipbytes.Member(name, data, method, pack(data), version=63))
    with open(path, "wb") as f:
        f.write(zipbytes.archive(members))


def zstd_pack(data):
    return subprocess.run(["zstd", "-q", "-3", "-c"], input=data, stdout=subprocess.PIPE, check=True).stdout


def timed(cmd):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    proc = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    text = proc.stdout.decode(errors="replace")
    if proc.returncode != 0 or "MSG" in text:
        sys.exit(f"failed: {' '.join(cmd)}\n{text[-2000:]}")
    return wall, cpu


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--bin", required=True, help="folder with unzdrive and UNZDLL.DLL")
    ap.add_argument("--work", default="/tmp/fernpack_bench_methods")
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--mb", type=int, default=60)
    args = ap.parse_args()
    if not shutil.which("7zz"):
        sys.exit("7zz is needed")

    drive = os.path.join(os.path.abspath(args.bin), "unzdrive")
    corpus = os.path.join(args.work, "corpus")
    stamp_file = os.path.join(args.work, "stamp")
    methods = ["Deflate64", "BZip2", "LZMA", "XZ"] + (["Zstandard"] if shutil.which("zstd") else [])
    archives = {m: os.path.join(args.work, m + ".zip") for m in methods}
    if not (os.path.exists(stamp_file) and open(stamp_file).read() == str(args.mb)):
        shutil.rmtree(args.work, ignore_errors=True)
        os.makedirs(corpus)
        print("generating corpus and archives...", flush=True)
        make_corpus(corpus, args.mb)
        for m in ("Deflate64", "BZip2", "LZMA"):
            subprocess.run(["7zz", "a", "-tzip", "-bd", "-mm=" + m, archives[m], "."], cwd=corpus, check=True,
                           stdout=subprocess.DEVNULL)
        write_zip(archives["XZ"], corpus, 95, lambda d: lzma.compress(d, format=lzma.FORMAT_XZ))
        if "Zstandard" in methods:
            write_zip(archives["Zstandard"], corpus, 93, zstd_pack)
        with open(stamp_file, "w") as f:
            f.write(str(args.mb))

    results = {(m, t): [] for m in methods for t in ("ours", "7zz")}
    for run in range(args.runs):
        for m in methods:
            tools = [("ours", [drive, "-t", "-q", archives[m]]), ("7zz", ["7zz", "t", "-bd", archives[m]])]
            for tool, cmd in (tools if run % 2 == 0 else tools[::-1]):
                results[(m, tool)].append(timed(cmd))
        print(f"run {run + 1}/{args.runs} done", flush=True)

    def med(m, tool, i):
        return statistics.median(r[i] for r in results[(m, tool)])

    print(f"\ntest time, medians over {args.runs} alternating runs (seconds); ratio ours / 7zz, below 1 is faster")
    print(f"{'method':11}{'MB':>6}{'ours wall':>11}{'cpu':>7}{'7zz wall':>10}{'cpu':>7}{'wall ratio':>12}{'cpu ratio':>11}")
    for m in methods:
        print(f"{m:11}{os.path.getsize(archives[m]) / 1e6:6.0f}{med(m, 'ours', 0):11.2f}{med(m, 'ours', 1):7.2f}"
              f"{med(m, '7zz', 0):10.2f}{med(m, '7zz', 1):7.2f}"
              f"{med(m, 'ours', 0) / med(m, '7zz', 0):12.2f}{med(m, 'ours', 1) / med(m, '7zz', 1):11.2f}")


if __name__ == "__main__":
    main()
