#!/usr/bin/env python3
"""Every operation against the same peer tools, in one run: wall-clock
medians of alternating Fernpack/peer runs, their ratio, and each side's peak
resident memory (the kernel's maximum RSS of the process, as
/usr/bin/time -v reports it).

  add level 9        fernpack-cli add -l 9          vs zip -r -9   (and size)
  add level 6        fernpack-cli add -l 6          vs 7zz a -tzip -mx=5
  test               fernpack-cli test              vs unzip -tq
  extract            fernpack-cli extract -o        vs unzip -qo
  delete one member  fernpack-cli delete            vs zip -d
  list 100,000       fernpack-cli list              vs unzip -Z1
  window: test 100,000, delete 1 of 100,000, extract 100,000 that all exist
                     the main window (window_ops_bench, offscreen): the click
                     to the result box        vs the same fernpack-cli command

The corpus is generated here, deterministically: text-like files of many
sizes and a few large members, half random-looking and half repetitive.
--scale 1 makes 16,384 files of about 420 MB (the size the goals were set
on); the default 0.25 makes a quicker quarter of it. The 100,000-member
archive is always full size. Everything is made once in --work and reused.

  bench_peers.py --bin BUILD/bin [--work DIR] [--scale 0.25] [--runs 3]
                 [--only add9,add6,test,extract,delete,list,wtest,wdelete,wextract]

Use a Release build (no sanitizers). Timings on a busy machine are noisy.

Rows with a floor also show this machine's least time for their work on
the same data, measured in the same alternation (its speed drifts by half
within minutes): libdeflate on both cores at once, reading every corpus
file and deflating it with its CRC (levels 9 and 6), its output written and
made durable as an add makes its archive (writeback started every 8 MB,
fsync at the end), or inflating them again with their CRC; the corpus files
made again in a new folder with their data and times, nothing decoded; and
a durable rewrite of the archive (a kernel copy, fsync, rename over the old
one). The floor's ratio to the peer is the
best ratio this machine allows.
"""
import argparse
import ctypes
import ctypes.util
import os
import random
import shutil
import statistics
import subprocess
import sys
import time
import zipfile

LARGE_MB = 13.5


def make_corpus(root, scale):
    """Deterministic: the same scale always gives the same bytes."""
    done = os.path.join(root, ".complete")
    if os.path.exists(done):
        return
    shutil.rmtree(root, ignore_errors=True)
    rng = random.Random(25)
    letters = "etaoinshrdlcumwfgypbvkjxqz"
    words = ["".join(rng.choices(letters, k=rng.randint(1, 10))) for _ in range(4000)]
    lines = [" ".join(rng.choices(words, k=rng.randint(3, 14))) + "\n" for _ in range(20000)]
    small = int(16368 * scale)
    large = max(1, int(16 * scale))
    for i in range(small):
        d = os.path.join(root, f"t{i // 1024:02d}", f"s{i // 64 % 16:02d}")
        os.makedirs(d, exist_ok=True)
        size = int(rng.paretovariate(1.2) * 2000) if i % 7 else rng.randint(20000, 90000)
        size = min(size, 400000)
        text = []
        n = 0
        while n < size:
            line = lines[rng.randrange(len(lines))]
            text.append(line)
            n += len(line)
        with open(os.path.join(d, f"f{i:05d}.txt"), "w") as f:
            f.write("".join(text)[:size])
    os.makedirs(os.path.join(root, "large"), exist_ok=True)
    block = 1 << 20
    for i in range(large):
        with open(os.path.join(root, "large", f"m{i:02d}.bin"), "wb") as f:
            for b in range(int(LARGE_MB * block) // block):
                if (i + b) % 2:
                    f.write(rng.randbytes(block))
                else:
                    chunk = "".join(rng.choices(lines, k=block // 40)).encode()
                    f.write((chunk * (block // len(chunk) + 1))[:block])
    with open(done, "w") as f:
        f.write("ok\n")


def make_hundred_thousand(path):
    """100,000 small deflated members in 300 folders, fixed dates."""
    if os.path.exists(path):
        return
    rng = random.Random(100000)
    words = ["fern", "pack", "member", "archive", "folder", "data", "crc", "size", "name", "the"]
    tmp = path + ".part"
    with zipfile.ZipFile(tmp, "w", zipfile.ZIP_DEFLATED) as z:
        for i in range(100000):
            info = zipfile.ZipInfo(f"dir{i % 300:03d}/file_{i:06d}.txt", (2020, 1 + i % 12, 1 + i % 28, 12, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            z.writestr(info, " ".join(rng.choices(words, k=rng.randint(5, 200))))
    os.rename(tmp, path)


def run(cmd, cwd=None, before=None):
    """Runs `cmd` (after `before`, untimed); returns (seconds, peak MB, stdout)."""
    if before:
        before()
    # What the last run wrote reaches the disk first: no run pays for
    # another's write-back.
    os.sync()
    start = time.perf_counter()
    proc = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    out = proc.stdout.read()
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - start
    proc.stdout.close()
    code = os.waitstatus_to_exitcode(status)
    if code not in (0, 1, 11) or (code != 0 and cmd[0] != "unzip"):
        # unzip -tq says 11 for "no files"; anything else failing is a fault
        if not (cmd[0] == "unzip" and code in (1,)):
            sys.exit(f"failed ({code}): {' '.join(cmd)}")
    return wall, usage.ru_maxrss / 1024, out.decode(errors="replace")


def window_seconds(out):
    for line in out.splitlines():
        if line.startswith("seconds "):
            return float(line.split()[1])
    sys.exit("window_ops_bench printed no time:\n" + out)


def compare(name, goal, ours, peer, runs, ours_time=None, note="", floor=None):
    """Alternates ours/peer (and the row's floor, when it has one) `runs`
    times; prints one row. The floor runs beside the others because this
    machine's speed drifts by half within minutes."""
    a, b, f, am, bm = [], [], [], [], []
    for _ in range(runs):
        t, m, out = ours()
        a.append(ours_time(out) if ours_time else t)
        am.append(m)
        t, m, _ = peer()
        b.append(t)
        bm.append(m)
        if floor:
            f.append(floor())
    ma, mb = statistics.median(a), statistics.median(b)
    ratio = ma / mb if mb > 0 else float("nan")
    fl = f"{statistics.median(f):8.3f} s {statistics.median(f) / mb:6.2f}" if f else f"{'-':>10} {'-':>6}"
    print(f"{name:<42} {ma:8.3f} s {mb:8.3f} s {ratio:7.2f}  {goal:<8} {fl}  {max(am):7.1f} MB {max(bm):7.1f} MB  "
          f"{note}", flush=True)
    return ma, mb

def libdeflate():
    name = ctypes.util.find_library("deflate") or "libdeflate.so.0"
    lib = ctypes.CDLL(name)
    lib.libdeflate_alloc_compressor.restype = ctypes.c_void_p
    lib.libdeflate_alloc_decompressor.restype = ctypes.c_void_p
    lib.libdeflate_deflate_compress.restype = ctypes.c_size_t
    lib.libdeflate_deflate_compress.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_size_t,
                                                ctypes.c_void_p, ctypes.c_size_t]
    lib.libdeflate_deflate_decompress.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_size_t,
                                                  ctypes.c_void_p, ctypes.c_size_t, ctypes.c_void_p]
    lib.libdeflate_crc32.restype = ctypes.c_uint32
    lib.libdeflate_crc32.argtypes = [ctypes.c_uint32, ctypes.c_void_p, ctypes.c_size_t]
    return lib


class Floors:
    """This machine's floors for the same data: libdeflate on both cores
    over every corpus file, and a durable rewrite of an archive (a kernel
    copy, fsync, rename over the old one). The libdeflate floors run in two
    processes at once, each on half of the files (shared out by size), and
    count from the first one's start to the last one's end: two cores busy
    at once each run slower than one alone here (they share the cache, the
    memory and the clock boost), so half of one core's time is not what two
    cores can do. Processes, not threads, so that no interpreter lock comes
    between them; their own start-up is not counted. Being processes of
    their own also keeps the corpus they load out of the peak memory of the
    programs this one forks."""

    def __init__(self, corpus):
        self.corpus = corpus

    def create(self, into):
        out = subprocess.run([sys.executable, os.path.abspath(__file__), "--floor", "create", "--corpus",
                              self.corpus, "--into", into], check=True, stdout=subprocess.PIPE, text=True).stdout
        return float(out.split()[-1])

    def measure(self, kind, out_dir=None):
        """`out_dir`: where a deflate floor writes its output, durably (on
        the file system the add writes its archive to)."""
        outs = [os.path.join(out_dir, f"floor-{kind}-{k}.out") if out_dir else "" for k in (0, 1)]
        halves = [subprocess.Popen([sys.executable, os.path.abspath(__file__), "--floor", kind, "--corpus",
                                    self.corpus, "--share", str(k), "--out", outs[k]], stdin=subprocess.PIPE,
                                   stdout=subprocess.PIPE, text=True) for k in (0, 1)]
        for h in halves:
            if h.stdout.readline().strip() != "ready":
                sys.exit("a floor process did not start")
        for h in halves:
            h.stdin.write("go\n")
            h.stdin.flush()
        spans = [tuple(map(float, h.communicate()[0].split())) for h in halves]
        for o in outs:
            if o and os.path.exists(o):
                os.remove(o)
        return max(end for _, end in spans) - min(start for start, _ in spans)


class FloorWork:
    """The work behind a libdeflate floor: one half of the corpus files (by
    size), each read from the page cache (as an add of a corpus just made
    reads it) and deflated with its CRC, or inflated again with its CRC."""

    def __init__(self, corpus, share):
        self.lib = libdeflate()
        files = []
        for d, _, fs in sorted(os.walk(corpus)):
            for x in sorted(fs):
                if x != ".complete":
                    path = os.path.join(d, x)
                    files.append((os.path.getsize(path), path))
        files.sort(reverse=True)
        halves, totals = ([], []), [0, 0]
        for size, path in files:
            k = 0 if totals[0] <= totals[1] else 1
            halves[k].append((size, path))
            totals[k] += size
        self.files = halves[share]
        largest = max([size for size, _ in self.files], default=0)
        self.out = ctypes.create_string_buffer(largest * 2 + 65536)
        self.back = ctypes.create_string_buffer(largest + 1)

    @staticmethod
    def wait_for_go():
        print("ready", flush=True)
        sys.stdin.readline()
        return time.clock_gettime(time.CLOCK_MONOTONIC)

    def deflate(self, level, out_path):
        """With `out_path`, the output is written there as an add writes
        its archive: the kernel is asked to start writing it back every
        8 MB, and it is on disk (fsync) before the time is taken."""
        lib, out = self.lib, self.out
        c = lib.libdeflate_alloc_compressor(level)
        libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
        sink = os.open(out_path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644) if out_path else -1
        written = synced = 0
        start = self.wait_for_go()
        for size, path in self.files:
            fd = os.open(path, os.O_RDONLY)
            b = os.read(fd, size + 1)
            os.close(fd)
            lib.libdeflate_crc32(0, b, len(b))
            n = lib.libdeflate_deflate_compress(c, b, len(b), out, len(out))
            if sink >= 0:
                os.write(sink, memoryview(out)[:n])
                written += n
                if written - synced >= 8 << 20:
                    libc.sync_file_range(sink, ctypes.c_int64(synced), ctypes.c_int64(written - synced), 2)
                    synced = written
        if sink >= 0:
            os.fsync(sink)
            os.close(sink)
        end = time.clock_gettime(time.CLOCK_MONOTONIC)
        lib.libdeflate_free_compressor(ctypes.c_void_p(c))
        return start, end

    def inflate(self):
        lib, out, back = self.lib, self.out, self.back
        c = lib.libdeflate_alloc_compressor(9)
        packed = []
        for size, path in self.files:
            with open(path, "rb") as f:
                b = f.read()
            n = lib.libdeflate_deflate_compress(c, b, len(b), out, len(out))
            packed.append((ctypes.string_at(out, n), len(b)))
        lib.libdeflate_free_compressor(ctypes.c_void_p(c))
        dec = lib.libdeflate_alloc_decompressor()
        start = self.wait_for_go()
        for blob, size in packed:
            lib.libdeflate_deflate_decompress(dec, blob, len(blob), back, size, None)
            lib.libdeflate_crc32(0, back, size)
        end = time.clock_gettime(time.CLOCK_MONOTONIC)
        lib.libdeflate_free_decompressor(ctypes.c_void_p(dec))
        return start, end


class Creation:
    """The work behind the extract floor: every corpus file made again in a
    new folder tree with its data and its time, nothing decoded. The data is
    read before the clock starts; one process, as an extract writes its
    files one after another. Most of an extract's time is the file system
    placing new files."""

    def __init__(self, corpus):
        self.files = []
        for d, _, fs in sorted(os.walk(corpus)):
            rel = os.path.relpath(d, corpus)
            for x in sorted(fs):
                if x != ".complete":
                    path = os.path.join(d, x)
                    with open(path, "rb") as f:
                        self.files.append((os.path.normpath(os.path.join(rel, x)), f.read(),
                                           os.stat(path).st_mtime_ns))

    def make(self, into):
        os.sync()
        start = time.perf_counter()
        made = set()
        for name, data, mtime in self.files:
            folder = os.path.dirname(name)
            if folder not in made:
                os.makedirs(os.path.join(into, folder), exist_ok=True)
                made.add(folder)
            fd = os.open(os.path.join(into, name), os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
            os.write(fd, data)
            os.close(fd)
            os.utime(os.path.join(into, name), ns=(mtime, mtime))
        return time.perf_counter() - start


class Rewrite:
    """The work behind the delete floor."""

    @staticmethod
    def rewrite(archive):
        copy, old = archive + ".floor", archive + ".floor-old"
        shutil.copyfile(archive, old)
        os.sync()
        start = time.perf_counter()
        with open(archive, "rb") as src, open(copy, "wb") as dst:
            left = os.fstat(src.fileno()).st_size
            while left > 0:
                left -= os.copy_file_range(src.fileno(), dst.fileno(), left)
            os.fsync(dst.fileno())
        os.replace(copy, old)
        seconds = time.perf_counter() - start
        os.remove(old)
        return seconds

def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--bin")
    ap.add_argument("--work", default="/tmp/fernpack-bench-peers")
    ap.add_argument("--scale", type=float, default=0.25)
    ap.add_argument("--runs", type=int, default=3)
    ap.add_argument("--only", default="")
    ap.add_argument("--floor", help=argparse.SUPPRESS)
    ap.add_argument("--corpus", help=argparse.SUPPRESS)
    ap.add_argument("--share", type=int, default=0, help=argparse.SUPPRESS)
    ap.add_argument("--out", default="", help=argparse.SUPPRESS)
    ap.add_argument("--into", help=argparse.SUPPRESS)
    args = ap.parse_args()
    if args.floor == "create":
        print(f"seconds {Creation(args.corpus).make(args.into):.4f}")
        return
    if args.floor:
        work = FloorWork(args.corpus, args.share)
        kind = args.floor
        start, end = work.inflate() if kind == "inflate" else work.deflate(int(kind.removeprefix("deflate")), args.out)
        print(f"{start:.6f} {end:.6f}")
        return
    if not args.bin:
        ap.error("--bin is required")
    only = set(filter(None, args.only.split(",")))
    want = lambda key: not only or key in only

    bin_dir = os.path.abspath(args.bin)
    cli = os.path.join(bin_dir, "fernpack-cli")
    window = os.path.join(bin_dir, "window_ops_bench")
    work = os.path.abspath(args.work)
    corpus = os.path.join(work, f"corpus-{args.scale:g}")
    os.makedirs(work, exist_ok=True)
    make_corpus(corpus, args.scale)
    files = sum(len(f) for _, _, f in os.walk(corpus)) - 1
    size = sum(os.path.getsize(os.path.join(d, x)) for d, _, fs in os.walk(corpus) for x in fs)
    big = os.path.join(work, "hundred-thousand.zip")
    make_hundred_thousand(big)
    print(f"corpus: {files} files, {size / 1e6:.0f} MB (scale {args.scale:g}); "
          f"medians of {args.runs} alternating runs; peak = largest max RSS of the runs")
    print(f"{'measure':<42} {'Fernpack':>10} {'peer':>10} {'ratio':>7}  {'goal':<8} {'floor':>10} {'/peer':>6}  "
          f"{'peak ours':>10} {'peak peer':>10}")
    floors = Floors(corpus)

    def fresh(path):
        return lambda: (os.path.isdir(path) and shutil.rmtree(path)) or (os.path.exists(path) and os.remove(path))

    ours9, zip9 = os.path.join(work, "ours9.zip"), os.path.join(work, "zip9.zip")
    ours6, sz5 = os.path.join(work, "ours6.zip"), os.path.join(work, "7zz5.zip")
    # The folders are added by their contents, relative to the corpus.
    if want("add9") or not os.path.exists(ours9):
        compare("add level 9 vs zip -r -9", "<= 0.25",
                lambda: run([cli, "-q", "add", "-l", "9", ours9, "."], corpus, fresh(ours9)),
                lambda: run(["zip", "-q", "-r", "-9", zip9, "."], corpus, fresh(zip9)), args.runs,
                floor=lambda: floors.measure("deflate9", work))
        if os.path.exists(zip9):
            print(f"{'  size ratio (archive bytes)':<42} {os.path.getsize(ours9):>10} {os.path.getsize(zip9):>10} "
                  f"{os.path.getsize(ours9) / os.path.getsize(zip9):7.3f}  <= 0.99")
    if want("add6") or not os.path.exists(ours6):
        compare("add level 6 vs 7zz a -tzip -mx=5", "<= 0.15",
                lambda: run([cli, "-q", "add", "-l", "6", ours6, "."], corpus, fresh(ours6)),
                lambda: run(["7zz", "a", "-bd", "-bso0", "-tzip", "-mx=5", sz5, "."], corpus, fresh(sz5)),
                args.runs, floor=lambda: floors.measure("deflate6", work))
    if want("test"):
        compare("test vs unzip -tq", "<= 0.17", lambda: run([cli, "-q", "test", ours9]),
                lambda: run(["unzip", "-tq", ours9]), args.runs, floor=lambda: floors.measure("inflate"))
    if want("extract"):
        # Each run into a new folder, the old ones removed only at the end:
        # ext4 takes long to place new files among inodes just freed.
        folders = []

        def into(name):
            folders.append(os.path.join(work, f"{name}-{len(folders)}"))
            fresh(folders[-1])()
            return folders[-1]

        compare("extract vs unzip -qo", "<= 0.45",
                lambda: run([cli, "-q", "extract", "-o", "-d", into("x-ours"), ours9]),
                lambda: run(["unzip", "-qo", ours9, "-d", into("x-peer")]), args.runs,
                floor=lambda: floors.create(into("x-floor")))
        for folder in folders:
            shutil.rmtree(folder, ignore_errors=True)
    if want("delete"):
        with zipfile.ZipFile(ours6) as z:
            names = [n for n in z.namelist() if not n.endswith("/")]
        victim = names[len(names) // 2]
        o, p = os.path.join(work, "del-ours.zip"), os.path.join(work, "del-peer.zip")
        compare(f"delete 1 of a {os.path.getsize(ours6) / 1e6:.0f} MB archive vs zip -d", "<= 1.0",
                lambda: run([cli, "-q", "delete", o, victim], before=lambda: shutil.copyfile(ours6, o)),
                lambda: run(["zip", "-q", "-d", p, victim], before=lambda: shutil.copyfile(ours6, p)), args.runs,
                floor=lambda: Rewrite.rewrite(ours6))
    if want("list"):
        compare("list 100,000 members vs unzip -Z1", "<= 1.0", lambda: run([cli, "list", big]),
                lambda: run(["unzip", "-Z1", big]), args.runs)
    env_ok = os.path.exists(window)
    if not env_ok and (want("wtest") or want("wdelete") or want("wextract")):
        print(f"(no {window}: build the target window_ops_bench for the window rows)")
    os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")
    if env_ok and want("wtest"):
        compare("window: test 100,000 vs fernpack-cli test", "<= 1.1", lambda: run([window, "test", big]),
                lambda: run([cli, "-q", "test", big]), args.runs, window_seconds)
    if env_ok and want("wdelete"):
        o = os.path.join(work, "del-window.zip")
        victim = "dir000/file_000000.txt"
        compare("window: delete 1 of 100,000 vs fernpack-cli", "<= 1.1",
                lambda: run([window, "delete", o, victim], before=lambda: shutil.copyfile(big, o)),
                lambda: run([cli, "-q", "delete", o, victim], before=lambda: shutil.copyfile(big, o)), args.runs,
                window_seconds)
    if env_ok and want("wextract"):
        o = os.path.join(work, "x-existing")
        if not os.path.isdir(o):
            run([cli, "-q", "extract", "-d", o, big])
        compare("window: extract 100,000 all existing vs cli", "<= 1.1",
                lambda: run([window, "extract", big, o]),
                lambda: run([cli, "-q", "extract", "-n", "-d", o, big]), args.runs, window_seconds)
    print("window rows: the click to the result box, the archive already open; "
          "fernpack-cli rows: the whole process")
    print("floor: this machine's least time for the row's work on the same data, measured beside it (libdeflate on "
          "both cores over every corpus file, a deflated output written durably; the corpus files made again, "
          "nothing decoded; a durable rewrite of the archive); /peer: the "
          "floor's ratio to the peer, the best ratio this machine allows")


if __name__ == "__main__":
    main()
