#!/usr/bin/env bash
# Builds the plug-in and its tools, then shows the instrument as a host sees it.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --preset linux
cmake --build --preset linux -j "$(nproc)"
build/linux/tools/quillstave-info build/linux/quillstave.so
