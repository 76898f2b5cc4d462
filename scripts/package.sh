#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the release build (build/release, the tree scripts/run.sh uses too)
# and packs it as a Debian package, fernpack_<version>_<architecture>.deb in
# the top folder, then shows what lintian says about it. Install it with
#   apt install ./fernpack_2.0.0_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DFERNPACK_TESTS=OFF
cmake --build build/release --parallel "$(nproc)"
cpack -G DEB --config build/release/CPackConfig.cmake -B build/release/package
deb=$(ls build/release/package/fernpack_*.deb)
cp "$deb" .
deb=$(basename "$deb")

echo "lintian $deb:"
lintian --info "$deb" || true
echo "Made $deb; install it with: apt install ./$deb"
