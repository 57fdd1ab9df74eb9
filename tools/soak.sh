#!/usr/bin/env bash
# Builds the plug-in and the soak program (linux preset) and plays the given
# length of random performance through it; fails on a non-finite sample, a
# CPU cost that grows over the run or resident memory that grows after the
# first tenth. Usage: tools/soak.sh [seconds of audio]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-120}
cmake --preset linux >/dev/null
cmake --build --preset linux --target quillstave quillstave-soak -j "$(nproc)"
build/linux/tools/quillstave-soak "$seconds"
