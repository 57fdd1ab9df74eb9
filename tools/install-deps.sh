#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need.
# Usage: tools/install-deps.sh [--with-wine]
set -euo pipefail
packages=(cmake g++ make pkg-config libgtest-dev googletest libbenchmark-dev
          libx11-dev libfreetype-dev fonts-liberation2 libpng-dev
          libsndfile1-dev libsmf-dev sox xvfb xauth xdotool x11-apps dpf-plugins-vst
          clang libclang-rt-14-dev)
if [[ ${1:-} == --with-wine ]]; then
  packages+=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64 wine wine64 wine32:i386)
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
fi
sudo=""
[[ $(id -u) -eq 0 ]] || sudo=sudo
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
fi
