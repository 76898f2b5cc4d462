#!/usr/bin/env python3
"""Compares the members two archives share, byte for byte.

Usage: member_bytes.py OLD NEW [CHANGED_NAME ...]

For every member of OLD that NEW also holds (except the CHANGED names): the
stored data bytes must be identical; where OLD's local header carried its
sizes (no data descriptor) the local header must be identical too. Every
local header of NEW must carry the member's CRC-32 and sizes (in its Zip64
field where the 32-bit ones are all ones), except for
traditionally encrypted members that keep their data descriptor. Prints
"ok" or the first difference; exits 0 only when all agree.
"""
import os
import struct
import sys
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import zipbytes  # noqa: E402


def zip64_sizes(extra, usize, csize):
    """The sizes a local header's Zip64 field gives (both, when it has 16
    bytes); the saturated ones stay when it has none."""
    pos = 0
    while pos + 4 <= len(extra):
        tag, size = struct.unpack('<HH', extra[pos:pos + 4])
        if tag == 1 and size >= 16:
            return struct.unpack('<QQ', extra[pos + 4:pos + 20])
        pos += 4 + size
    return usize, csize


def spans(path):
    data = open(path, 'rb').read()
    z = zipfile.ZipFile(path)
    out = {}
    for info in z.infolist():
        # zipfile's header_offset already counts any bytes in front.
        pos = info.header_offset
        sig, ver, flags, method, t, d, crc, csize, usize, nlen, elen = zipbytes.LOCAL_HEADER.unpack_from(data, pos)
        fixed = zipbytes.LOCAL_HEADER.size
        head = data[pos:pos + fixed + nlen + elen]
        body = data[pos + fixed + nlen + elen: pos + fixed + nlen + elen + info.compress_size]
        if 0xFFFFFFFF in (csize, usize):
            usize, csize = zip64_sizes(head[fixed + nlen:], usize, csize)
        out[info.filename] = dict(head=head, body=body, flags=flags, crc=crc, csize=csize,
                                  usize=usize, info=info)
    return out


def main():
    old, new = spans(sys.argv[1]), spans(sys.argv[2])
    changed = set(sys.argv[3:])
    for name, o in old.items():
        if name in changed or name not in new:
            continue
        n = new[name]
        if o['body'] != n['body']:
            print('data differs: ' + name)
            return 1
        if not (o['flags'] & 8) and o['head'] != n['head']:
            print('local header differs: ' + name)
            return 1
    for name, n in new.items():
        info = n['info']
        keeps_descriptor = (n['flags'] & 8) and (n['flags'] & 1)
        if not keeps_descriptor and (n['flags'] & 8):
            print('descriptor bit left: ' + name)
            return 1
        if (n['crc'], n['csize'], n['usize']) != (info.CRC, info.compress_size, info.file_size):
            print('local header sizes wrong: ' + name)
            return 1
    print('ok')
    return 0


if __name__ == '__main__':
    sys.exit(main())
