#!/bin/sh
# The CLAP module exports only its entry record and needs nothing beyond the
# platform: no JACK, no sound-file or MIDI-file library.
set -eu
so=$1
exported=$(nm -D --defined-only "$so" | awk '$2 ~ /^[TDBRVW]$/ {print $3}' | grep -v -E '^(_init|_fini|_edata|_end|__bss_start)$' | sort | tr '\n' ' ')
if [ "$exported" != "clap_entry " ]; then
  echo "unexpected exports: $exported"
  exit 1
fi
needed=$(objdump -p "$so" | awk '$1 == "NEEDED" {print $2}' | sort | tr '\n' ' ')
for lib in $needed; do
  case $lib in
    libX11.so.* | libstdc++.so.* | libm.so.* | libgcc_s.so.* | libc.so.* | ld-linux*) ;;
    libasan.so.* | libubsan.so.* | libtsan.so.*) ;; # the sanitizer builds' runtimes
    *) echo "needs $lib"; exit 1 ;;
  esac
done
echo "exports: $exported; needs: $needed"
