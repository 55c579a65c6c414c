#!/usr/bin/env bash
# Makes the Windows zip from the build, checks what it holds and runs the
# console program from the unpacked folder under Wine.
#   zip_test.sh <build folder> <work folder> <runner> <expected PE type>
set -euo pipefail
build=$1 work=$2 runner=$3 pe=$4
rm -rf "$work"
mkdir -p "$work"
cpack --config "$build/CPackConfig.cmake" -G ZIP -B "$work/out" >"$work/cpack.log"
zip=$(ls "$work"/out/Velmora-*.zip)
name=$(basename "$zip" .zip)
case $pe in
  "PE32+"*) [ "$name" = Velmora-1.00-win64 ] ;;
  *) [ "$name" = Velmora-1.00-win32 ] ;;
esac || { echo "zip named $name"; exit 1; }

listing=$(unzip -Z1 "$zip" | grep -v '/$' | sort)
[ "$listing" = "$name/README.txt
$name/Velmora.exe
$name/VelmoraRoad.exe
$name/velmora-cli.exe" ] || { echo "unexpected contents: $listing"; exit 1; }

unzip -q "$zip" -d "$work/root"
dir=$work/root/$name
for gui in Velmora VelmoraRoad; do
  file "$dir/$gui.exe" | grep -q "$pe (GUI)" || { file "$dir/$gui.exe"; exit 1; }
done
file "$dir/velmora-cli.exe" | grep -q "$pe (console)" || { file "$dir/velmora-cli.exe"; exit 1; }
# The user's guide, not the developers' README: Chinese first, in a form
# Notepad reads (a UTF-8 byte-order mark, CR LF), with the version filled in.
readme=$dir/README.txt
[ "$(head -c 3 "$readme" | od -An -tx1 | tr -d ' ')" = efbbbf ] || { echo "README.txt has no byte-order mark"; exit 1; }
[ "$(grep -c $'\r$' "$readme")" = "$(wc -l <"$readme")" ] || { echo "README.txt has lines without CRLF"; exit 1; }
head -1 "$readme" | grep -q "Velmora 1.00 - 道路线元方位角计算器" || { echo "README.txt starts: $(head -1 "$readme")"; exit 1; }
grep -q "计算点方位角" "$readme" && grep -q "velmora-cli calc" "$readme" || { echo "README.txt is not the user's guide"; exit 1; }
! grep -q "scripts/test" "$readme" || { echo "README.txt is the developers' README"; exit 1; }

# Running it needs a host that runs this build (wine-run exits 77 if not).
status=0
"$runner" "$dir/velmora-cli.exe" --version >/dev/null </dev/null || status=$?
[ "$status" -eq 0 ] || exit "$status"
got=$("$runner" "$dir/velmora-cli.exe" calc 1000 1200 500 500 1100 45.3015 </dev/null)
[ "$got" = "56度57分48秒" ] || { echo "unpacked program gave [$got]"; exit 1; }
echo "zip holds the three programs and runs"
