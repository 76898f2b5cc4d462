#!/usr/bin/env python3
"""Bounded time, memory and disk on hostile input: runs fernpack-cli on
archives and inputs made to keep it busy, to fill the disk or to take the
machine's memory (tests/support/bounds_archives.py), and prints for each
case the wall-clock time, the peak resident memory as /usr/bin/time -v
measures it, its cap, and what was left in $TMPDIR.

The caps are the program's own footprint (an add of an empty file) plus:
  64 MiB    for every case that decodes or packs in pieces (the libraries
            hold 256 KiB pieces, BZip2 about 3.6 MB, the writer two 2 MiB
            pieces of standard input and their deflated form);
  16 MiB    for reading a password file;
  1 GiB + 64 MiB for an archive whose members need a 1 GiB Zstandard
            window and a 1 GiB LZMA dictionary, one after the other: the
            peak is one member's need, not the sum.
A case passes when its peak stays within its cap, it ends within its time
bound, it says what happened and nothing is left in $TMPDIR.

  bench_bounds.py --bin BUILD/bin [--work DIR] [--stream-gib 3]

Needs about 1 GiB of free disk in DIR. Use a build without sanitizers
(Release) for meaningful numbers.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "support"))
import bounds_archives as ba  # noqa: E402

MiB = 1 << 20
GiB = 1 << 30


def measured(shell, env, seconds, cwd):
    """Runs `shell` in `cwd` under /usr/bin/time -v (bounded by `seconds`);
    returns (wall seconds, peak RSS in MiB, exit status of the measured
    command, what fernpack-cli said on stderr)."""
    command = f"timeout -s KILL {seconds} /usr/bin/time -v -o /dev/fd/3 sh -c '{shell}' 3>&2"
    start = time.perf_counter()
    done = subprocess.run(["bash", "-c", command], env=env, cwd=cwd, capture_output=True, text=True,
                          errors="replace")
    wall = time.perf_counter() - start
    peak = re.search(r"Maximum resident set size \(kbytes\): (\d+)", done.stderr)
    status = re.search(r"Exit status: (\d+)", done.stderr)
    said = "\n".join(line for line in done.stderr.splitlines()
                     if line.startswith("fernpack-cli:"))
    return wall, int(peak.group(1)) / 1024 if peak else float("nan"), int(status.group(1)) if status else -1, said


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--bin", required=True)
    ap.add_argument("--work", default="/tmp/fernpack-bench-bounds")
    ap.add_argument("--stream-gib", type=float, default=3)
    args = ap.parse_args()
    cli = os.path.join(os.path.abspath(args.bin), "fernpack-cli")
    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    tmp = os.path.join(args.work, "tmp")
    os.makedirs(tmp)
    env = dict(os.environ, TMPDIR=tmp, LC_ALL="C")
    work = args.work

    def write(name, data):
        path = os.path.join(work, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    print("making the archives ...", flush=True)
    write("lying.zip", ba.lying_zip64_sizes())
    write("lying-streamed.zip", ba.lying_zip64_sizes(streamed=True))
    write("bz3.zip", ba.bzip2_zeros(3, GiB))
    write("lzma4g.zip", ba.lzma_big_dictionary())
    write("greedy.zip", ba.greedy_methods())
    write("needs.zip", ba.members_needing_memory(GiB))
    write("bomb.zip", ba.shared_data_bomb(300, MiB))
    write("empty.txt", b"")
    write("new.txt", b"new\n")
    write("pw", b"secret\n")
    stream = int(args.stream_gib * GiB)

    _, base, _, _ = measured(f"{cli} add base.zip empty.txt", env, 60, work)

    c = cli
    cases = [
        # name, shell command, cap above the footprint (MiB), seconds, expected exit status
        ("Zip64 sizes of 2^64-1: test", f"{c} test lying.zip", 64, 60, 1),
        ("Zip64 sizes of 2^64-1, streamed: extract -p", f"{c} extract -p lying-streamed.zip", 64, 60, 1),
        ("3 x 1 GiB BZip2: extract -p | head -c5", f"{c} extract -p bz3.zip | head -c5 >/dev/null", 64, 60, 0),
        ("3 x 1 GiB BZip2: extract -p, all of it", f"{c} extract -p bz3.zip >/dev/null", 64, 600, 0),
        (f"{args.stream_gib:g} GiB of zeros: add -", f"head -c {stream} /dev/zero | {c} add stream.zip - --name z",
         64, 600, 0),
        (f"{args.stream_gib:g} GiB of zeros: add -e -",
         f"head -c {stream} /dev/zero | {c} add -e --password-file pw secret.zip - --name z", 64, 600, 0),
        ("endless input: add - </dev/zero, SIGTERM after 3 s", f"timeout -s TERM 3 {cli} add term.zip - </dev/zero",
         64, 60, 124),
        ("--password-file /dev/zero", f"{c} add -e --password-file /dev/zero pw.zip new.txt", 16, 60, 1),
        ("LZMA dictionary of 4 GiB: test", f"{c} test lzma4g.zip", 64, 60, 1),
        ("LZMA, XZ, Zstandard asking > 1 GiB: test", f"{c} test greedy.zip", 64, 60, 1),
        ("1 GiB Zstandard window, then 1 GiB LZMA dictionary: test", f"{c} test needs.zip", 1024 + 64, 600, 0),
        ("300 entries over one member's data: add", f"{c} add -j bomb.zip new.txt", 64, 60, 1),
        ("300 entries over one member's data: delete", f"{c} delete bomb.zip copy7.bin", 64, 60, 1),
    ]
    bomb = open(os.path.join(work, "bomb.zip"), "rb").read()
    print(f"program footprint {base:.1f} MiB; peak resident memory by /usr/bin/time -v")
    print(f"{'case':58} {'wall s':>7} {'peak MiB':>9} {'cap MiB':>8}  verdict")
    failed = 0
    for name, shell, cap, seconds, expected in cases:
        wall, peak, status, said = measured(shell, env, seconds, work)
        left = os.listdir(tmp)
        ok = peak <= base + cap and status == expected and not left
        failed += not ok
        print(f"{name:58} {wall:7.1f} {peak:9.1f} {base + cap:8.1f}  {'within' if ok else 'OVER'}"
              + ("" if status == expected else f" (exit {status}, expected {expected})")
              + (f" ($TMPDIR: {left})" if left else ""))
        for line in said.splitlines()[:2]:
            print(f"    {line}")
    if open(os.path.join(work, "bomb.zip"), "rb").read() != bomb:
        print("the refused archive was changed")
        failed += 1
    shutil.rmtree(args.work)
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
