# SPDX-License-Identifier: MIT
"""ZIP archives built byte by byte, the one Python home of the format's
records for every generator of test data, fuzz seeds and benchmark inputs
in this tree (and for the checks that read them back): the local and
central headers, the end records with every field settable, whole archives
of stored or already packed members, the self-extractor's 256-byte settings
header and the stubs put in front of it, and a stream that cannot seek back
(Python's zipfile then writes data descriptors, as a writer to a pipe does).

A script elsewhere in the tree finds this module with
    sys.path.insert(0, <path of tests/support>)
before `import zipbytes`."""
import io
import random
import struct
import zipfile
import zlib

LOCAL_SIGNATURE = 0x04034B50
CENTRAL_SIGNATURE = 0x02014B50
END_SIGNATURE = 0x06054B50
ZIP64_END_SIGNATURE = 0x06064B50
ZIP64_LOCATOR_SIGNATURE = 0x07064B50

# Signature, version needed, flags, method, time, date, CRC-32, packed size,
# size, name length, extra length.
LOCAL_HEADER = struct.Struct("<IHHHHHIIIHH")
# Signature, made by, needed, flags, method, time, date, CRC-32, packed
# size, size, name, extra and comment lengths, disk, internal and external
# attributes, offset of the local header.
CENTRAL_HEADER = struct.Struct("<IHHHHHHIIIHHHHHII")
# Signature, this disk, the directory's disk, members on this disk and in
# all, directory size and offset, comment length.
END_RECORD = struct.Struct("<IHHHHIIH")

# The directory offset that the empty end record of older self-extracting
# programs carries: right after a 38,912-byte stub and the settings header,
# whatever the stub's real length.
OLD_EMPTY_SFX_OFFSET = 39168

SETTINGS_HEADER_SIZE = 256
SETTINGS_TEXTS_CAPACITY = 249
# Option bits of the settings header's fourth byte.
ASK_COMMAND_LINE, ASK_FILES, HIDE_OVERWRITE, OVERWRITE_ALWAYS, OVERWRITE_NEVER = 1, 2, 4, 8, 16

METHOD_STORED, METHOD_DEFLATED = 0, 8
FLAG_ENCRYPTED, FLAG_DESCRIPTOR, FLAG_UTF8 = 0x0001, 0x0008, 0x0800


def dos_date_time(year=2024, month=5, day=17, hour=13, minute=45, second=30):
    """The (time, date) pair of 16-bit fields a header stores."""
    return (hour << 11) | (minute << 5) | (second // 2), ((year - 1980) << 9) | (month << 5) | day


DEFAULT_TIME, DEFAULT_DATE = dos_date_time()


def local_header(name, crc, packed_size, size, method=METHOD_STORED, flags=0, time=DEFAULT_TIME,
                 date=DEFAULT_DATE, extra=b"", version=20):
    return LOCAL_HEADER.pack(LOCAL_SIGNATURE, version, flags, method, time, date, crc, packed_size, size,
                             len(name), len(extra)) + name + extra


def central_header(name, crc, packed_size, size, offset, method=METHOD_STORED, flags=0, time=DEFAULT_TIME,
                   date=DEFAULT_DATE, extra=b"", version=20, made_by=20, external=0, comment=b""):
    return CENTRAL_HEADER.pack(CENTRAL_SIGNATURE, made_by, version, flags, method, time, date, crc, packed_size,
                               size, len(name), len(extra), len(comment), 0, 0, external, offset) + name + extra + \
        comment


def end_record(count, directory_size, directory_offset, comment=b"", disk=0):
    """The end of central directory record; counts above 65,535 wrap, as
    writers without Zip64 leave them."""
    return END_RECORD.pack(END_SIGNATURE, disk, disk, count & 0xFFFF, count & 0xFFFF, directory_size,
                           directory_offset, len(comment)) + comment


def empty_archive(directory_offset=0):
    """An archive without members: its end record alone."""
    return end_record(0, 0, directory_offset)


class Member:
    """One member: `data` as it unpacks, stored as it is unless `packed`
    (the bytes `method` made of it) is given."""

    def __init__(self, name, data=b"", method=METHOD_STORED, packed=None, flags=0, time=DEFAULT_TIME,
                 date=DEFAULT_DATE, version=20):
        self.name = name.encode() if isinstance(name, str) else name
        self.data = data
        self.method = method
        self.packed = data if packed is None else packed
        self.flags = flags
        self.time, self.date = time, date
        self.version = version

    def fields(self):
        return dict(method=self.method, flags=self.flags, time=self.time, date=self.date, version=self.version)


def archive(members, prefix=b"", comment=b"", offsets_from_file_start=False):
    """A whole archive of `members` (Member objects or (name, data) pairs,
    stored) behind `prefix`. Its offsets count from its own start, as those
    of an archive put behind a stub do, unless `offsets_from_file_start`."""
    body, directory = bytearray(), bytearray()
    base = len(prefix) if offsets_from_file_start else 0
    for m in members:
        if not isinstance(m, Member):
            m = Member(*m)
        crc = zlib.crc32(m.data)
        directory += central_header(m.name, crc, len(m.packed), len(m.data), base + len(body), **m.fields())
        body += local_header(m.name, crc, len(m.packed), len(m.data), **m.fields()) + m.packed
    return bytes(prefix) + bytes(body) + bytes(directory) + \
        end_record(len(members), len(directory), base + len(body), comment)


def settings_header(caption=b"", folder=b"", command=b"", options=0):
    """The 256 bytes between a stub and its archive: "MPU", the option bits,
    the three lengths, the three texts, zeros."""
    texts = caption + folder + command
    assert len(texts) <= SETTINGS_TEXTS_CAPACITY
    header = b"MPU" + bytes([options, len(caption), len(folder), len(command)]) + texts
    return header + b"\0" * (SETTINGS_HEADER_SIZE - len(header))


def stub(size=5000, seed=99, false_signature=False):
    """Bytes to stand in front of an archive as a self-extractor's stub
    does: random, but never a local header signature, unless
    `false_signature` puts one at offset 100, as a foreign stub's code might
    hold one."""
    rng = random.Random(seed)
    data = bytearray(rng.getrandbits(8) for _ in range(size))
    signature = struct.pack("<I", LOCAL_SIGNATURE)
    at = data.find(signature)
    while at >= 0:
        data[at] ^= 0xFF
        at = data.find(signature)
    if false_signature:
        data[100:104] = signature
    return bytes(data)


def self_extractor(archive_bytes, stub_bytes=None, **header):
    """A self-extracting program: a stub, the settings header, the archive."""
    return (stub() if stub_bytes is None else stub_bytes) + settings_header(**header) + archive_bytes


def sample_archive(method=zipfile.ZIP_DEFLATED, streamed=False, zip64=False):
    """A small archive written by Python's zipfile: a folder, a text in it,
    a binary, and with `zip64` a member with Zip64 sizes; `streamed` writes
    it as to a pipe (data descriptors)."""
    buf = io.BytesIO()
    with zipfile.ZipFile(Unseekable(buf) if streamed else buf, "w", method) as z:
        z.writestr("dir/", b"")
        z.writestr("dir/a.txt", b"hello hello hello\n" * 20)
        z.writestr("b.bin", bytes(range(256)))
        if zip64:
            with z.open("big.txt", "w", force_zip64=True) as w:
                w.write(b"zip64 " * 50)
    return buf.getvalue()


class Unseekable(io.RawIOBase):
    """A stream that cannot seek back, as a pipe: zipfile then writes flag
    bit 3, zero sizes in the local headers and data descriptors."""

    def __init__(self, f):
        self.f = f

    def writable(self):
        return True

    def write(self, b):
        return self.f.write(b)

    def seekable(self):
        return False
