#!/bin/sh
# The CLAP module exports only its entry record and needs nothing beyond the
# platform: no JACK, no sound-file or MIDI-file library.
set -eu
so=$1
sh "$(dirname "$0")/../host/check_exports.sh" "$so" clap_entry
needed=$(objdump -p "$so" | awk '$1 == "NEEDED" {print $2}' | sort | tr '\n' ' ')
for lib in $needed; do
  case $lib in
    libX11.so.* | libstdc++.so.* | libm.so.* | libgcc_s.so.* | libc.so.* | ld-linux*) ;;
    libasan.so.* | libubsan.so.* | libtsan.so.*) ;; # the sanitizer builds' runtimes
    *) echo "needs $lib"; exit 1 ;;
  esac
done
echo "needs: $needed"
