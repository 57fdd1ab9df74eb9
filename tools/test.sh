#!/usr/bin/env bash
# Builds and runs every test, stage by stage:
#   linux   the Linux build
#   asan    the same tests with AddressSanitizer and UndefinedBehaviorSanitizer
#   tsan    the same tests with ThreadSanitizer
#   win64   the 64-bit Windows build, its tests under 64-bit Wine
#   win32   the 32-bit Windows build; its tests run under Wine only on machines
#           that can execute 32-bit programs, its static checks everywhere
# Any build error or failing test stops the script with a non-zero status.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh --with-wine
jobs=$(nproc)

build() {
  echo "== $1"
  cmake --preset "$1"
  cmake --build --preset "$1" -j "$jobs"
}

# Wine tests share one server and one started prefix for the whole stage, so
# that no test starts while the previous one's server is shutting down. The
# prefix's background services start here, away from ctest's output pipes.
wine_tests() {
  local preset=$1 loader=$2
  shift 2
  export WINEPREFIX=$PWD/build/$preset/wineprefix WINEDEBUG=-all
  mkdir -p "$WINEPREFIX"
  /usr/lib/wine/wineserver -p
  "$loader" wineboot -i </dev/null >/dev/null 2>&1
  local status=0
  ctest --preset "$preset" "$@" || status=$?
  /usr/lib/wine/wineserver -k || true
  unset WINEPREFIX
  return $status
}

for preset in linux asan tsan; do
  build "$preset"
  ctest --preset "$preset"
done

build win64
wine_tests win64 /usr/lib/wine/wine64

build win32
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  wine_tests win32 /usr/lib/wine/wine
else
  ctest --preset win32 -L static
  echo "win32: built and checked statically; its tests were not run: this machine cannot execute 32-bit programs"
fi
echo "all tests passed"
