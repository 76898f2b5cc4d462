#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The package test: the .deb's control fields and file list are what is
# expected (EXPECTED lists mode, owner and path of every file), and the
# package unpacked with dpkg -x into a temporary folder works from there
# (round_trip.sh). Nothing is installed on this machine.
#
#   package_test.sh PACKAGE.deb EXPECTED
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
deb=$1
expected=$2
fail() { echo "FAILED: $*" >&2; exit 1; }

info=$(dpkg-deb --info "$deb")
field() { dpkg-deb --field "$deb" "$1"; }
[[ $(field Package) == fernpack ]] || fail "Package: $(field Package)"
[[ $(field Version) == "$(basename "$deb" | cut -d_ -f2)" ]] || fail "Version: $(field Version)"
[[ $(field Section) == utils ]] || fail "Section: $(field Section)"
[[ $(field Maintainer) == "Fernpack developers <devel@fernpack.invalid>" ]] || fail "Maintainer: $(field Maintainer)"
depends=$(field Depends)
for d in libqt6svg6 'fonts-liberation | fonts-liberation2' xdg-utils libc6 libstdc++6 libqt6widgets6 libqt6gui6 \
         libqt6core6 libdeflate0 zlib1g libssl3 libbz2-1.0 liblzma5 libzstd1; do
  [[ ", $depends," == *", $d"[\ ,]* ]] || fail "Depends lacks $d: $depends"
done
grep -q '^ Description: desktop archive manager for ZIP files$' <<<"$info" || fail "no description"
[[ $(field Recommends) == *qt6-translations-l10n* ]] || fail "Recommends: $(field Recommends)"

# Every file with its mode and owner; folders only through their files.
dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $1, $2, $6 }' | LC_ALL=C sort > "${TMPDIR:-/tmp}/contents.$$"
if ! diff -u "$expected" "${TMPDIR:-/tmp}/contents.$$"; then
  rm -f "${TMPDIR:-/tmp}/contents.$$"
  fail "the package's files differ from $expected"
fi
rm -f "${TMPDIR:-/tmp}/contents.$$"

tmp=$(mktemp -d "${TMPDIR:-/tmp}/fernpack-deb.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
dpkg -x "$deb" "$tmp"
# A release build is hardened (the stub, built for size, is not).
for elf in "$tmp"/usr/bin/* "$tmp"/usr/lib/fernpack/*.DLL; do
  facts=$(readelf -d -l "$elf"; nm -D "$elf")
  grep -q 'BIND_NOW' <<<"$facts" && grep -q 'GNU_RELRO' <<<"$facts" && grep -q '__stack_chk_fail' <<<"$facts" ||
    fail "$elf is not hardened"
done
bash "$here/round_trip.sh" "$tmp/usr"
