#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Set-up command 1: installs what is missing, makes a release build and
# starts Fernpack on a sample archive that this script makes itself. Where
# there is no display to open a window on, it says so, takes pictures of the
# windows on a virtual display instead (build/screenshots/) and lists the
# sample with the command-line tool.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DFERNPACK_TESTS=OFF
cmake --build build/release --parallel "$(nproc)"

sample=build/release/sample
rm -rf "$sample" build/release/sample.zip && mkdir -p "$sample/docs"
printf 'Fernpack sample\n' > "$sample/docs/readme.txt"
seq 1 20000 > "$sample/docs/numbers.txt"
head -c 40000 /dev/urandom > "$sample/noise.bin"
(cd "$sample" && zip -q -r ../sample.zip docs noise.bin)

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
  echo "No display here (DISPLAY and WAYLAND_DISPLAY are empty), so Fernpack's window cannot open."
  echo "Pictures of its windows, taken on a virtual display:"
  bash scripts/screenshots.sh build/release build/screenshots
  echo
  echo "The sample archive, as fernpack-cli lists it:"
  build/release/bin/fernpack-cli list build/release/sample.zip
else
  exec build/release/bin/fernpack build/release/sample.zip
fi
