# SPDX-License-Identifier: MIT
"""Archives made to keep a reader busy for days, to fill its disk or to take
its memory, each as small as the trick allows: sizes no file can hold,
members that share their data, members that unpack to gigabytes from a few
bytes, and data that asks for more working memory than any method may
have. Built on zipbytes.py; the benchmark of these cases
(bench/libs/bench_bounds.py) and the fuzz targets' seed corpora use them,
with small sizes for the seeds.

A script elsewhere in the tree finds this module with
    sys.path.insert(0, <path of tests/support>)
before `import bounds_archives`."""
import bz2
import lzma
import struct
import zlib

import zipbytes as zb

KiB, MiB, GiB = 1 << 10, 1 << 20, 1 << 30
METHOD_BZIP2, METHOD_LZMA, METHOD_XZ, METHOD_ZSTANDARD = 12, 14, 95, 93
FLAG_LZMA_END_MARKER = 0x0002
ZIP64_VERSION = 45

_CHUNK = 16 * MiB


def zip64_field(*values):
    """The Zip64 extra field holding `values`, 64 bits each, in order."""
    return struct.pack("<HH", 1, 8 * len(values)) + b"".join(struct.pack("<Q", v) for v in values)


def zeros_crc(size):
    """The CRC-32 of `size` zero bytes."""
    crc, chunk = 0, bytes(min(size, _CHUNK))
    for at in range(0, size, len(chunk) or 1):
        crc = zlib.crc32(chunk[: min(len(chunk), size - at)], crc)
    return crc


def packed_archive(members):
    """An archive of already packed members: (name, method, packed, crc,
    size, flags) each; sizes beyond 32 bits go into Zip64 fields."""
    body, directory = bytearray(), bytearray()
    for name, method, packed, crc, size, flags in members:
        offset = len(body)
        wide = size >= 0xFFFFFFFF
        local_extra = zip64_field(size, len(packed)) if wide else b""
        size32 = 0xFFFFFFFF if wide else size
        packed32 = 0xFFFFFFFF if wide else len(packed)
        body += zb.local_header(name, crc, packed32, size32, method=method, flags=flags, extra=local_extra,
                                version=ZIP64_VERSION if wide else 20) + packed
        central_extra = zip64_field(size, len(packed)) if wide else b""
        directory += zb.central_header(name, crc, packed32, size32, offset, method=method, flags=flags,
                                       extra=central_extra, version=ZIP64_VERSION if wide else 20)
    return bytes(body) + bytes(directory) + zb.end_record(len(members), len(directory), len(body))


def lying_zip64_sizes(streamed=False):
    """A member of 12 bytes whose central record's Zip64 field claims
    2^64 - 1 bytes, packed and unpacked; `streamed` writes it as to a pipe
    (flag bit 3, sizes in a descriptor and the directory only)."""
    data, name = b"hello world\n", b"a.txt"
    crc = zlib.crc32(data)
    if streamed:
        local = zb.local_header(name, 0, 0, 0, flags=zb.FLAG_DESCRIPTOR) + data + \
            struct.pack("<IIII", 0x08074B50, crc, len(data), len(data))
    else:
        local = zb.local_header(name, crc, len(data), len(data)) + data
    central = zb.central_header(name, crc, 0xFFFFFFFF, 0xFFFFFFFF, 0, extra=zip64_field(2**64 - 1, 2**64 - 1),
                                version=ZIP64_VERSION, flags=zb.FLAG_DESCRIPTOR if streamed else 0)
    return local + central + zb.end_record(1, len(central), len(local))


def shared_data_bomb(copies=300, size=MiB):
    """`copies` directory entries that all point at one member's data."""
    data = b"b" * size
    crc = zlib.crc32(data)
    local = zb.local_header(b"data.bin", crc, size, size) + data
    directory = b"".join(zb.central_header(b"copy%d.bin" % i if i else b"data.bin", crc, size, size, 0)
                         for i in range(copies))
    return local + directory + zb.end_record(copies, len(directory), len(local))


def bzip2_zeros(members=3, size=GiB):
    """`members` BZip2 members of `size` zero bytes each (1 GiB packs into
    about 800 bytes)."""
    packer = bz2.BZ2Compressor(9)
    chunk, packed = bytes(min(size, _CHUNK)), b""
    for at in range(0, size, len(chunk)):
        packed += packer.compress(chunk[: min(len(chunk), size - at)])
    packed += packer.flush()
    crc = zeros_crc(size)
    return packed_archive([(b"zeros%d.bin" % i, METHOD_BZIP2, packed, crc, size, 0) for i in range(members)])


def _lzma_props(dictionary):
    # lc 3, lp 0, pb 2, then the dictionary size.
    return bytes([(2 * 5 + 0) * 9 + 3]) + struct.pack("<I", min(dictionary, 0xFFFFFFFF))


def lzma_zeros(size, dictionary):
    """ZIP's LZMA form of `size` zero bytes, packed with a small dictionary
    but stating `dictionary` (the data is as valid with the larger one,
    which a reader allocates and, for a long enough member, fills)."""
    packer = lzma.LZMACompressor(format=lzma.FORMAT_RAW, filters=[{"id": lzma.FILTER_LZMA1, "dict_size": MiB}])
    chunk, body = bytes(min(size, _CHUNK)), b""
    for at in range(0, size, len(chunk) or 1):
        body += packer.compress(chunk[: min(len(chunk), size - at)])
    body += packer.flush()
    return b"\x10\x02\x05\x00" + _lzma_props(dictionary) + body


def lzma_big_dictionary(dictionary=4 * GiB - 1, claimed=5 * GiB):
    """An LZMA member whose properties ask for `dictionary` bytes and which
    says it unpacks to `claimed` bytes (the dictionary is never made larger
    than the member): refused before anything is allocated."""
    packed = lzma_zeros(4096, dictionary)
    # Refused before a byte is unpacked: no CRC is ever compared.
    return packed_archive([(b"big-dictionary.lzma", METHOD_LZMA, packed, 0, claimed, FLAG_LZMA_END_MARKER)])


def _lzma2_dictionary_byte(dictionary):
    for b in range(40):
        if (2 | (b & 1)) << (b // 2 + 11) >= dictionary:
            return b
    return 40


def xz_zeros(size, dictionary):
    """An .xz stream of `size` zero bytes, packed with a small dictionary,
    whose one block's LZMA2 filter states `dictionary` (its header's CRC
    made again)."""
    packer = lzma.LZMACompressor(format=lzma.FORMAT_XZ, check=lzma.CHECK_CRC32,
                                 filters=[{"id": lzma.FILTER_LZMA2, "dict_size": MiB, "preset": 0}])
    chunk, data = bytes(min(size, _CHUNK)), b""
    for at in range(0, size, len(chunk) or 1):
        data += packer.compress(chunk[: min(len(chunk), size - at)])
    data = bytearray(data + packer.flush())
    header_size = (data[12] + 1) * 4
    header = data[12:12 + header_size]
    at = header.find(b"\x21\x01", 2)
    header[at + 2] = _lzma2_dictionary_byte(dictionary)
    header[-4:] = struct.pack("<I", zlib.crc32(bytes(header[:-4])))
    data[12:12 + header_size] = header
    return bytes(data)


def zstd_rle(size, window_log):
    """A Zstandard frame of `size` bytes of 'z' in RLE blocks, whose window
    descriptor asks for 2^window_log bytes (a reader holds that window and,
    as the blocks fill it, touches it)."""
    block = min(128 * KiB, 1 << window_log)
    frame = bytearray(b"\x28\xb5\x2f\xfd\x00" + bytes([(window_log - 10) << 3]))
    left = size
    while True:
        n = min(block, left)
        left -= n
        frame += struct.pack("<I", (1 if left == 0 else 0) | (1 << 1) | (n << 3))[:3] + b"z"
        if left == 0:
            return bytes(frame)


def greedy_methods():
    """One member of each method that asks for more than 1 GiB of working
    memory: LZMA and XZ dictionaries, a Zstandard window."""
    zstd = zstd_rle(16, 31)
    return packed_archive([
        (b"big-dictionary.lzma", METHOD_LZMA, lzma_zeros(4096, 4 * GiB - 1), 0, 2 * GiB, FLAG_LZMA_END_MARKER),
        (b"big-dictionary.xz", METHOD_XZ, xz_zeros(4096, 3 * GiB // 2), zeros_crc(4096), 4096, 0),
        (b"big-window.zst", METHOD_ZSTANDARD, zstd, zlib.crc32(b"z" * 16), 16, 0),
    ])


def members_needing_memory(size=GiB):
    """A Zstandard member with a window of `size` bytes, then an LZMA member
    with a dictionary of `size` bytes, each unpacking to `size` bytes: the
    peak of a run must be one member's need, not both."""
    return packed_archive([
        (b"window.bin", METHOD_ZSTANDARD, zstd_rle(size, size.bit_length() - 1),
         _repeat_crc(b"z", size), size, 0),
        (b"dictionary.bin", METHOD_LZMA, lzma_zeros(size, size), zeros_crc(size), size, FLAG_LZMA_END_MARKER),
    ])


def _repeat_crc(byte, size):
    crc, chunk = 0, byte * min(size, _CHUNK)
    for at in range(0, size, len(chunk)):
        crc = zlib.crc32(chunk[: min(len(chunk), size - at)], crc)
    return crc
