#!/usr/bin/env bash
# Builds and runs every test: the Linux build, the same tests again with
# AddressSanitizer and UndefinedBehaviorSanitizer, and the 32-bit Windows
# build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh --with-wine
jobs=$(nproc)
for preset in linux asan tsan win32; do
  echo "== $preset"
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset"
done
echo "all tests passed"
