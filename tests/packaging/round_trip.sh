#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks an installed Fernpack tree, wherever it lies: ROOT holds bin/,
# lib/fernpack/ and share/ as an install under a prefix puts them.
#
#   round_trip.sh ROOT
#
# The files a user's desktop needs are there and valid; no installed
# program carries a run path; and from a folder of its own, with no
# FERNPACK_* variable, ROOT/bin/fernpack-cli adds, lists, tests, extracts,
# makes a self-extracting program with the stub from ROOT/lib/fernpack,
# whose run gives the files back, and turns it back into the same archive.
set -euo pipefail

root=$(cd "$1" && pwd)
fail() { echo "FAILED: $*" >&2; exit 1; }

for v in $(compgen -e); do
  [[ $v == FERNPACK_* ]] && unset "$v"
done

# --- What is installed ---------------------------------------------------
for f in bin/fernpack bin/fernpack-cli; do
  [[ -f $root/$f && -x $root/$f ]] || fail "$f is missing or not executable"
done
for f in lib/fernpack/ZIPDLL.DLL lib/fernpack/UNZDLL.DLL lib/fernpack/ZIPSFX.BIN \
         share/applications/fernpack.desktop share/icons/hicolor/scalable/apps/fernpack.svg \
         share/man/man1/fernpack.1.gz share/man/man1/fernpack-cli.1.gz \
         share/doc/fernpack/README.md share/doc/fernpack/copyright share/doc/fernpack/changelog.gz; do
  [[ -f $root/$f ]] || fail "$f is missing"
done
for size in 16 24 32 48 64 128 256; do
  png=$root/share/icons/hicolor/${size}x${size}/apps/fernpack.png
  [[ $(file -b "$png") == "PNG image data, $size x $size,"* ]] || fail "$png is not a $size x $size PNG"
done
# The libraries must come from lib/fernpack, not from beside the programs.
[[ ! -e $root/bin/ZIPDLL.DLL && ! -e $root/bin/UNZDLL.DLL && ! -e $root/bin/ZIPSFX.BIN ]] ||
  fail "bin/ holds a library or the stub"
for elf in "$root"/bin/* "$root"/lib/fernpack/*; do
  if readelf -d "$elf" | grep -E '\((RPATH|RUNPATH)\)'; then fail "$elf has a run path"; fi
done
metainfo=("$root"/share/metainfo/*.metainfo.xml)
desktop-file-validate "$root/share/applications/fernpack.desktop"
appstreamcli validate --no-net "${metainfo[@]}" >/dev/null || appstreamcli validate --no-net --explain "${metainfo[@]}"
grep -q '^Copyright: .* the Fernpack developers$' "$root/share/doc/fernpack/copyright" || fail "copyright without its line"
[[ $(zcat "$root/share/man/man1/fernpack-cli.1.gz") == *$'\n.TH FERNPACK-CLI '* ]] || fail "fernpack-cli.1.gz is no manual page"
bash "$(dirname "$0")/file_managers.sh" "$root"

# --- A round trip through the installed programs ---------------------------
work=$(mktemp -d "${TMPDIR:-/tmp}/fernpack-installed.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir -p data/docs data/empty-ish
seq 1 30000 > data/docs/numbers.txt
printf 'installed Fernpack\n' > data/readme.txt
head -c 70000 /dev/urandom > data/noise.bin
touch data/empty-ish/zero.txt
cli=$root/bin/fernpack-cli
# Whole outputs are compared: a grep -q that stops reading early would make
# the program's last write fail.

"$cli" add x.zip data >/dev/null
[[ $("$cli" list x.zip) == *' data/docs/numbers.txt'* ]] || fail "list does not show data/docs/numbers.txt"
[[ $("$cli" test x.zip) == 'OK: 4 files'* ]] || fail "test does not pass"
"$cli" extract -d out x.zip >/dev/null
diff -r data out/data || fail "extract gives other files"
cp x.zip original.zip

"$cli" sfx x.zip >/dev/null
[[ -x x.exe && ! -e x.zip ]] || fail "sfx made no x.exe"
./x.exe --yes -d from-sfx >/dev/null
diff -r data from-sfx/data || fail "the self-extracting program gives other files"

"$cli" unsfx x.exe >/dev/null
cmp x.zip original.zip || fail "unsfx does not give the archive back"
[[ $("$cli" test x.zip) == 'OK: 4 files'* ]] || fail "the archive from unsfx does not pass its test"
echo "installed tree in $root works"
