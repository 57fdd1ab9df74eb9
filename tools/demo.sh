#!/usr/bin/env bash
# The main job: builds the plug-in and its tools, then renders the built-in
# demo phrase through each of the eight factory programs into out/demo.wav,
# with one summary line per program and a spectrogram in out/demo.png, and
# draws the editor window showing program 0 into out/editor.png; last, plays
# the phrase through the LV2 build as well and tells whether the two builds agree.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --preset linux
cmake --build --preset linux -j "$(nproc)"
build/linux/tools/quillstave-info build/linux/quillstave.so
tools/render_demo.sh build/linux out
build/linux/tools/quillstave-screenshot -o out/editor.png
echo "editor window: out/editor.png"
LV2_PATH="$PWD/build/linux/lv2-bundles" build/linux/tools/quillstave-lv2-compare build/linux/quillstave.so
