#!/usr/bin/env python3
"""Large-file benchmark: adds a 5 GiB file (ZIPDLL.DLL), tests and extracts
it (UNZDLL.DLL) through fernpack-cli, and prints wall-clock time, CPU time
and peak resident memory of each step, with ratios to zip/unzip and 7zz.

The libraries' stated memory budgets:
  ZIPDLL.DLL  at most 96 MiB of file data held by compression jobs in
              flight, plus 1 MiB of output buffer and 1 MiB per stored copy;
  UNZDLL.DLL  entries up to 64 MiB inflated in one piece, larger ones in
              256 KiB pieces, and at most 8 MiB of a mapped archive kept
              behind the point being read.
A step passes when its peak resident memory stays below the budget plus the
program's own size (measured with an empty add), printed as "within".

  bench_large.py --bin BUILD/bin [--work DIR] [--size-gib 5] [--kind sparse|noise]
                 [--level 1]

"sparse" (the default) is a file with holes and a few marks of data: it
costs no disk and mostly measures the code; "noise" is incompressible data
written in full (size GiB of disk for the input, as much for the archive).
Use a build without sanitizers (Release) for meaningful numbers.
"""
import argparse
import os
import shutil
import subprocess
import sys
import time

MiB = 1 << 20
GiB = 1 << 30


def run(cmd, cwd=None):
    """Runs `cmd`; returns (wall seconds, CPU seconds, peak RSS in MiB)."""
    start = time.perf_counter()
    proc = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - start
    output = proc.stdout.read().decode(errors="replace")
    proc.stdout.close()
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"failed: {' '.join(cmd)}\n{output[-2000:]}")
    return wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss / 1024


def make_input(path, size, kind):
    with open(path, "wb") as f:
        if kind == "sparse":
            f.truncate(size)
            for at in (0, size // 2, size - 16):
                f.seek(at)
                f.write(b"fernpack mark %d" % at)
        else:
            block = os.urandom(64 * MiB)  # far beyond deflate's window: incompressible
            for _ in range(size // len(block)):
                f.write(block)
            f.write(block[: size % len(block)])


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--bin", required=True)
    ap.add_argument("--work", default="/tmp/fernpack-bench-large")
    ap.add_argument("--size-gib", type=float, default=5)
    ap.add_argument("--kind", choices=["sparse", "noise"], default="sparse")
    ap.add_argument("--level", type=int, default=1)
    args = ap.parse_args()

    cli = os.path.join(os.path.abspath(args.bin), "fernpack-cli")
    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    size = int(args.size_gib * GiB)
    need = (3 if args.kind == "noise" else 0.1) * size
    if shutil.disk_usage(args.work).free < need + GiB:
        sys.exit(f"not enough free disk in {args.work}")
    source = os.path.join(args.work, "big.img")
    make_input(source, size, args.kind)
    out = os.path.join(args.work, "out")

    # The program's own footprint: an add of an empty file.
    empty = os.path.join(args.work, "empty.txt")
    open(empty, "w").close()
    _, _, base = run([cli, "add", "empty.zip", "empty.txt"], cwd=args.work)

    ours = os.path.join(args.work, "ours.zip")
    zipped = os.path.join(args.work, "zip.zip")
    sevened = os.path.join(args.work, "7zz.zip")
    level = str(args.level)
    rows = []

    def step(name, budget, mine, peers):
        wall, cpu, rss = run(mine, cwd=args.work)
        line = [name, wall, cpu, rss, "within" if rss <= base + budget else "OVER"]
        for peer in peers:
            pwall, pcpu, prss = run(peer[1], cwd=peer[2] if len(peer) > 2 else None)
            line.append((peer[0], pwall, prss))
        rows.append(line)

    step("add", 98, [cli, "add", "--level", level, ours, "big.img"],
         [("zip", ["zip", "-q", "-" + level, zipped, "big.img"], args.work),
          ("7zz", ["7zz", "a", "-tzip", "-mx" + level, sevened, "big.img"], args.work)])
    step("test", 64 + 8, [cli, "test", ours],
         [("unzip", ["unzip", "-tqq", ours]), ("7zz", ["7zz", "t", ours])])
    step("extract", 64 + 8, [cli, "extract", "-d", out, ours], [])
    extracted = os.path.join(out, "big.img")
    if os.path.getsize(extracted) != size:
        sys.exit("extracted size differs")
    shutil.rmtree(out)

    print(f"{args.size_gib:g} GiB {args.kind} file, level {level}; program footprint {base:.1f} MiB")
    print(f"{'step':8} {'wall s':>8} {'cpu s':>8} {'peak MiB':>9}  budget   peers (wall s, peak MiB, our time ratio)")
    for name, wall, cpu, rss, verdict, *peers in rows:
        text = "  ".join(f"{p}: {pw:.1f} s {pr:.0f} MiB ({wall / pw:.2f})" for p, pw, pr in peers)
        print(f"{name:8} {wall:8.1f} {cpu:8.1f} {rss:9.1f}  {verdict:7}  {text}")
    print(f"archive sizes: ours {os.path.getsize(ours)}, zip {os.path.getsize(zipped)}, "
          f"7zz {os.path.getsize(sevened)}")
    shutil.rmtree(args.work)


if __name__ == "__main__":
    main()
