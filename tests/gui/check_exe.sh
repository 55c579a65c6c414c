#!/usr/bin/env bash
# Velmora.exe must be a 32-bit GUI program importing only Windows' own DLLs.
set -euo pipefail
exe=$1
kind=$(file -b "$exe")
case "$kind" in
  "PE32 executable (GUI) Intel 80386"*) ;;
  *) echo "not a 32-bit GUI program: $kind"; exit 1 ;;
esac
allowed=" kernel32.dll user32.dll gdi32.dll comctl32.dll imm32.dll msvcrt.dll advapi32.dll "
status=0
while read -r dll; do
  lower=$(echo "$dll" | tr '[:upper:]' '[:lower:]')
  case "$allowed" in
    *" $lower "*) echo "imports $dll" ;;
    *) echo "imports a DLL Windows does not have: $dll"; status=1 ;;
  esac
done < <(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
exit $status
