#!/bin/sh
# Renders the demo phrase through each factory program of the built plug-in
# and draws the result's spectrogram.
# Usage: tools/render_demo.sh [BUILD-FOLDER [OUTPUT-FOLDER]]   (defaults: build, out)
set -eu
build=${1:-build}
out=${2:-out}
tool="$build/tools/quillstave-render"
plugin="$build/quillstave.so"
if [ ! -x "$tool" ] || [ ! -f "$plugin" ]; then
  echo "render_demo.sh: $tool or $plugin is missing; build first" >&2
  exit 1
fi
mkdir -p "$out"
"$tool" --demo --plugin "$plugin" -o "$out/demo.wav"
if command -v sox >/dev/null 2>&1; then
  sox -V1 "$out/demo.wav" -n spectrogram -x 1600 -t "Quillstave demo" -o "$out/demo.png"
  echo "$out/demo.wav, $out/demo.png"
else
  echo "render_demo.sh: sox not found; $out/demo.wav has no spectrogram" >&2
fi
