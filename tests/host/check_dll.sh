#!/bin/sh
# Static checks of the plug-in DLL, read from the file without running Windows:
# the machine type, an export table of exactly the two entry points, and
# imports from Windows system DLLs only (the compiler's runtime is linked in).
# Usage: check_dll.sh <objdump> <quillstave.dll> <i386|x86-64>
set -eu
objdump=$1 dll=$2 machine=$3
fail=0

format=$("$objdump" -f "$dll" | sed -n 's/.*file format //p')
if [ "$format" != "pei-$machine" ]; then
  echo "machine: expected pei-$machine, found '$format'"
  fail=1
fi

headers=$("$objdump" -p "$dll")
exports=$(printf '%s\n' "$headers" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
          sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
if [ "$exports" != "VSTPluginMain main " ]; then
  echo "exports: expected 'VSTPluginMain main', found '$exports'"
  fail=1
fi

imports=$(printf '%s\n' "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '\n' ' ')
for name in $imports; do
  case $(printf '%s' "$name" | tr 'A-Z' 'a-z') in
    kernel32.dll|user32.dll|gdi32.dll|msvcrt.dll|ole32.dll|shell32.dll|advapi32.dll|msimg32.dll|\
    comctl32.dll|ntdll.dll|api-ms-win-*) ;;
    *) echo "imports: $name is not a Windows system DLL"; fail=1 ;;
  esac
done

echo "$dll: $format; exports: $exports; imports: $imports"
exit $fail
