#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The install test: installs BUILD_DIR under /usr into a temporary DESTDIR,
# moves that tree to another place (the installed programs must not depend
# on where they were put), and checks it there with round_trip.sh.
#
#   install_test.sh BUILD_DIR
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
tmp=$(mktemp -d "${TMPDIR:-/tmp}/fernpack-install.XXXXXX")
trap 'rm -rf "$tmp"' EXIT

DESTDIR=$tmp/dest cmake --install "$build" --prefix /usr >/dev/null
mkdir -p "$tmp/elsewhere"
cp -a "$tmp/dest/usr" "$tmp/elsewhere/fernpack"
rm -rf "$tmp/dest"
bash "$here/round_trip.sh" "$tmp/elsewhere/fernpack"
