#!/usr/bin/env bash
# Set-up command 1: installs what is missing, makes a release build and runs
# Fernpack's main job on a sample archive that this script makes itself.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DFERNPACK_TESTS=OFF
cmake --build build/release --parallel "$(nproc)"

sample=build/release/sample
rm -rf "$sample" && mkdir -p "$sample/docs"
printf 'Fernpack sample\n' > "$sample/docs/readme.txt"
seq 1 20000 > "$sample/docs/numbers.txt"
head -c 40000 /dev/urandom > "$sample/noise.bin"
(cd "$sample" && zip -q -r ../sample.zip docs noise.bin)

build/release/bin/fernpack-cli list build/release/sample.zip
