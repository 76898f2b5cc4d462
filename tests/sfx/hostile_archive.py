#!/usr/bin/env python3
"""Writes an archive whose members try to leave the folder they are
extracted to: "../" names, an absolute name (the second argument, a path the
test watches), symbolic links pointing out of the folder, and a member that
would be written through such a link. One harmless member, good.txt, shows
that the rest of the archive is still extracted.
Usage: hostile_archive.py OUT.zip ABSOLUTE_NAME OUTSIDE_FOLDER"""
import stat
import sys
import zipfile

out, absolute, outside = sys.argv[1], sys.argv[2], sys.argv[3]


def symlink(name, target):
    info = zipfile.ZipInfo(name)
    info.create_system = 3
    info.external_attr = (stat.S_IFLNK | 0o777) << 16
    return info, target


with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("good.txt", "harmless\n")
    z.writestr(zipfile.ZipInfo("../escape.txt"), "escaped\n")
    z.writestr(zipfile.ZipInfo("safe/../../escape2.txt"), "escaped\n")
    z.writestr(zipfile.ZipInfo(absolute), "absolute\n")
    z.writestr(zipfile.ZipInfo("back\\slash.txt"), "backslash\n")
    z.writestr(*symlink("outlink", outside))
    z.writestr(*symlink("uplink", "../"))
    z.writestr(zipfile.ZipInfo("outlink/through.txt"), "through a link\n")
