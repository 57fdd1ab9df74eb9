#!/bin/sh
# The shared object exports exactly the two entry points and nothing else of its own.
set -eu
so=$1
exported=$(nm -D --defined-only "$so" | awk '$2 ~ /^[TDBRVW]$/ {print $3}' | grep -v -E '^(_init|_fini|_edata|_end|__bss_start)$' | sort | tr '\n' ' ')
if [ "$exported" != "VSTPluginMain main " ]; then
  echo "unexpected exports: $exported"
  exit 1
fi
echo "exports: $exported"
