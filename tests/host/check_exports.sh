#!/bin/sh
# A shared object exports exactly the given symbols and nothing else of its own.
# Usage: check_exports.sh OBJECT SYMBOL...
set -eu
so=$1
shift
expected="$(printf '%s\n' "$@" | sort | tr '\n' ' ')"
exported=$(nm -D --defined-only "$so" | awk '$2 ~ /^[TDBRVW]$/ {print $3}' | grep -v -E '^(_init|_fini|_edata|_end|__bss_start)$' | sort | tr '\n' ' ')
if [ "$exported" != "$expected" ]; then
  echo "unexpected exports: $exported"
  exit 1
fi
echo "exports: $exported"
