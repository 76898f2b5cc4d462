#!/usr/bin/env python3
"""Naming many files on the command line: fernpack-cli add with files named
one by one against the whole folder by one pattern.

Usage: bench_named_files.py BUILD_BIN_DIR [FOLDER_FILES [NAMED_FILES]]

Fills a scratch folder with FOLDER_FILES small files (default 30,000), then
times `fernpack-cli add` twice: with NAMED_FILES of them (default 4,000)
named on the command line, and with the whole folder given as one quoted
pattern. Prints both times (best of three) and their ratio; the goal is a
ratio under 2. named_files_bench (bench/engine, built beside the program)
measures the same through the archive component alone: its count before
the add, then the add through ZIPDLL.DLL."""
import os
import subprocess
import sys
import tempfile
import time


def best_of(command, archive, runs=3):
    best = float("inf")
    for _ in range(runs):
        if os.path.exists(archive):
            os.remove(archive)
        start = time.perf_counter()
        done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, check=False)
        best = min(best, time.perf_counter() - start)
        if done.returncode != 0:
            sys.exit(f"{' '.join(command[:3])} ... failed: {done.stderr.strip()[:500]}")
    return best, done.stdout.strip()


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    cli = os.path.join(sys.argv[1], "fernpack-cli")
    total = int(sys.argv[2]) if len(sys.argv) > 2 else 30_000
    named = int(sys.argv[3]) if len(sys.argv) > 3 else 4_000
    with tempfile.TemporaryDirectory() as scratch:
        folder = os.path.join(scratch, "files")
        os.mkdir(folder)
        names = []
        for i in range(total):
            name = os.path.join(folder, f"file{i:06d}.txt")
            with open(name, "w") as f:
                f.write(f"file {i}\n" * 8)
            names.append(name)
        # Spread over the folder, so no listing order helps the lookups.
        step = max(1, total // named)
        chosen = names[::step][:named]

        archive = os.path.join(scratch, "out.zip")
        by_name, said_named = best_of([cli, "add", archive] + chosen, archive)
        by_pattern, said_pattern = best_of([cli, "add", archive, os.path.join(folder, "*")], archive)

    print(f"{len(chosen)} files named in a folder of {total}: {by_name:.2f} s ({said_named})")
    print(f"the whole folder by one pattern:           {by_pattern:.2f} s ({said_pattern})")
    print(f"ratio named / pattern: {by_name / by_pattern:.2f} (goal < 2)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
