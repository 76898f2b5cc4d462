#!/usr/bin/env python3
"""Extraction and test benchmark of UNZDLL.DLL (through the unzdrive driver)
against `unzip` and `7zz` on a generated corpus: many small text files and a
few large binaries. Runs alternate between the tools; the figures are
medians of wall-clock and CPU (user + system) time, with our ratios to the
peers. Goals: test in at most half of `unzip -t`'s time; extract no slower
than `unzip` and faster than `7zz x`.

  bench_unzip.py --bin BUILD/bin [--work DIR] [--runs 5] [--small 20000]
                 [--large 4] [--large-mb 40]

Use a build without sanitizers (e.g. RelWithDebInfo) for meaningful numbers.
"""
import argparse
import os
import random
import resource
import shutil
import statistics
import subprocess
import sys
import time


def make_corpus(root, small, large, large_mb):
    rng = random.Random(42)
    words = [("".join(rng.choice("abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9))))
             for _ in range(3000)]
    for i in range(small):
        d = os.path.join(root, f"d{i // 500:03d}", f"s{(i // 50) % 10}")
        os.makedirs(d, exist_ok=True)
        n = rng.randint(200, 12000)
        text = " ".join(rng.choice(words) for _ in range(n // 6))
        with open(os.path.join(d, f"f{i:06d}.txt"), "w") as f:
            f.write(text[:n] + "\n")
    os.makedirs(os.path.join(root, "big"), exist_ok=True)
    for i in range(large):
        with open(os.path.join(root, "big", f"blob{i}.bin"), "wb") as f:
            # Half random (incompressible), half repetitive (compressible).
            for _ in range(large_mb):
                if rng.random() < 0.5:
                    f.write(rng.randbytes(1 << 20))
                else:
                    f.write((rng.randbytes(64) * 16384))


def timed(cmd, cwd=None):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    proc = subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    if proc.returncode != 0:
        sys.exit(f"failed: {' '.join(cmd)}\n{proc.stdout.decode(errors='replace')[-2000:]}")
    return wall, cpu, proc.stdout.decode(errors="replace")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--bin", required=True, help="folder with unzdrive and UNZDLL.DLL")
    ap.add_argument("--work", default="/tmp/fernpack_bench_unzip")
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--small", type=int, default=20000)
    ap.add_argument("--large", type=int, default=4)
    ap.add_argument("--large-mb", type=int, default=40)
    args = ap.parse_args()

    drive = os.path.join(os.path.abspath(args.bin), "unzdrive")
    corpus = os.path.join(args.work, "corpus")
    archive = os.path.join(args.work, "corpus.zip")
    stamp = f"{args.small}-{args.large}-{args.large_mb}"
    stamp_file = os.path.join(args.work, "stamp")
    if not (os.path.exists(stamp_file) and open(stamp_file).read() == stamp):
        shutil.rmtree(args.work, ignore_errors=True)
        os.makedirs(corpus)
        print("generating corpus...", flush=True)
        make_corpus(corpus, args.small, args.large, args.large_mb)
        subprocess.run(["zip", "-q", "-r", archive, "."], cwd=corpus, check=True)
        with open(stamp_file, "w") as f:
            f.write(stamp)
    size = os.path.getsize(archive)
    print(f"archive: {archive}, {size / 1e6:.0f} MB, {args.small} small files, "
          f"{args.large} x {args.large_mb} MB binaries")

    out = os.path.join(args.work, "out")
    tests = {
        "ours": lambda: timed([drive, "-t", "-q", archive]),
        "unzip": lambda: timed(["unzip", "-tq", archive]),
        "7zz": lambda: timed(["7zz", "t", "-bd", archive]),
    }

    def extract(tool):
        shutil.rmtree(out, ignore_errors=True)
        os.makedirs(out)
        subprocess.run(["sync"])
        if tool == "ours":
            return timed([drive, "-d", "-o", "-q", "-C", out, archive])
        if tool == "unzip":
            return timed(["unzip", "-q", "-o", archive, "-d", out])
        return timed(["7zz", "x", "-bd", "-y", "-o" + out, archive])

    results = {("test", t): [] for t in tests}
    results.update({("extract", t): [] for t in tests})
    order = list(tests)
    for run in range(args.runs):
        rotated = order[run % 3:] + order[:run % 3]
        for tool in rotated:
            wall, cpu, text = tests[tool]()
            if tool == "ours" and "MSG" in text:
                sys.exit("our test reported problems:\n" + text[-2000:])
            results[("test", tool)].append((wall, cpu))
        for tool in rotated:
            wall, cpu, _ = extract(tool)
            results[("extract", tool)].append((wall, cpu))
        print(f"run {run + 1}/{args.runs} done", flush=True)
    shutil.rmtree(out, ignore_errors=True)

    def med(kind, tool, i):
        return statistics.median(r[i] for r in results[(kind, tool)])

    print(f"\nmedians over {args.runs} alternating runs (seconds)")
    print(f"{'':10}{'tool':8}{'wall':>9}{'cpu':>9}")
    for kind in ("test", "extract"):
        for tool in order:
            print(f"{kind:10}{tool:8}{med(kind, tool, 0):9.2f}{med(kind, tool, 1):9.2f}")
    print("\nratios (ours / peer; below 1 is faster)")
    for kind in ("test", "extract"):
        for peer in ("unzip", "7zz"):
            print(f"{kind:8} vs {peer:6} wall {med(kind, 'ours', 0) / med(kind, peer, 0):5.2f}"
                  f"   cpu {med(kind, 'ours', 1) / med(kind, peer, 1):5.2f}")
    print("\ngoals: test vs unzip <= 0.50; extract vs unzip <= 1.00; extract vs 7zz < 1.00")


if __name__ == "__main__":
    main()
