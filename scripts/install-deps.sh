#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs, with apt-get, whatever Fernpack needs to build, run and test and
# is not on this Debian 12 machine yet. Quick and silent when all is there.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config git
  qt6-base-dev qt6-svg-dev libgl-dev
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libdeflate-dev zlib1g-dev libssl-dev
  libbz2-dev liblzma-dev libzstd-dev
  libgtest-dev libgmock-dev
  clang libclang-rt-14-dev
  libcli11-dev help2man
  zip unzip 7zip python3
  xvfb xauth xdotool xclip imagemagick fonts-liberation xdg-utils
  adwaita-qt6 qt6ct
  dpkg-dev fakeroot file lintian desktop-file-utils appstream librsvg2-bin
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
