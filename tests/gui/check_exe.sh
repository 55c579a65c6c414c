#!/usr/bin/env bash
# Checks a built Velmora.exe without running it, so it holds on hosts that
# cannot run it: a GUI program of the expected bitness, importing only
# Windows' own DLLs, with the version record and the icon it ships with.
#   check_exe.sh <exe> <32|64> <objdump> ["more.dll of Windows' own ..."] [most bytes]
set -euo pipefail
exe=$1 bits=$2 objdump=$3 more=${4:-} most=${5:-}
status=0
fail() { echo "$*"; status=1; }

kind=$(file -b "$exe")
case "$bits:$kind" in
  "32:PE32 executable (GUI) Intel 80386"*) ;;
  "64:PE32+ executable (GUI) x86-64"*) ;;
  *) fail "not a $bits-bit GUI program: $kind" ;;
esac
echo "$kind"

size=$(stat -c %s "$exe")
if [ -n "$most" ] && [ "$size" -gt "$most" ]; then
  fail "$size bytes, more than the $most it may have"
fi

allowed=" kernel32.dll user32.dll gdi32.dll comctl32.dll imm32.dll msvcrt.dll advapi32.dll $more "
while read -r dll; do
  lower=$(echo "$dll" | tr '[:upper:]' '[:lower:]')
  case "$allowed" in
    *" $lower "*) echo "imports $dll" ;;
    *) fail "imports a DLL Windows does not have: $dll" ;;
  esac
done < <("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p')

# The version record: its strings in the Chinese (PRC) Unicode block, and
# the translation 0x0804 / 1200.
version=$(wrestool -x --raw --type=16 "$exe" | strings -el | tr '\n' '|')
for expected in "|StringFileInfo|080404B0|" "|FileVersion|1.00|" "|ProductVersion|1.00|" \
                "|VarFileInfo|Translation|"; do
  case "$version" in
    *"$expected"*) ;;
    *) fail "version record lacks ${expected//|/ }: $version" ;;
  esac
done
translation=$(wrestool -x --raw --type=16 "$exe" | tail -c 4 | od -An -tx1 | tr -d ' \n')
[ "$translation" = "0408b004" ] || fail "version translation is $translation, not 0x0804 / 1200"
fixed=$(wrestool -x --raw --type=16 "$exe" | od -An -tx1 -v | tr -d ' \n')
case "$fixed" in
  *bd04effe0000010000000100000000000000010000000000*) ;;  # signature, layout 1.0, file and product 1.0.0.0
  *) fail "version record's fixed part is not version 1.0.0.0" ;;
esac
echo "version record: ${version//|/ }"

# The icon: group 1 holding the one image 30001, 50 x 67, 256 colours, 8 bpp.
group=$(wrestool -x --raw --type=14 --name=1 "$exe" | od -An -tu1 -v | tr -s ' \n' ' ')
#         reserved type count | w  h  colours reserved planes bpp  | bytes     | id 30001
expected=" 0 0 1 0 1 0 50 67 0 0 1 0 8 0 "
case "$group" in
  "$expected"*" 49 117 ") echo "icon group 1: one image 30001, 50 x 67, 8 bits per pixel" ;;
  *) fail "icon group 1 is not one 50 x 67 8-bit image 30001: $group" ;;
esac
wrestool -l "$exe" | grep -q -- '--type=3 --name=30001 ' || fail "icon image 30001 missing"
exit $status
