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
$name/velmora-cli.exe" ] || { echo "unexpected contents: $listing"; exit 1; }

unzip -q "$zip" -d "$work/root"
dir=$work/root/$name
file "$dir/Velmora.exe" | grep -q "$pe (GUI)" || { file "$dir/Velmora.exe"; exit 1; }
file "$dir/velmora-cli.exe" | grep -q "$pe (console)" || { file "$dir/velmora-cli.exe"; exit 1; }
grep -q $'\r$' "$dir/README.txt" || { echo "README.txt has no CRLF line ends"; exit 1; }

# Running it needs a host that runs this build (wine-run exits 77 if not).
status=0
"$runner" "$dir/velmora-cli.exe" --version >/dev/null </dev/null || status=$?
[ "$status" -eq 0 ] || exit "$status"
got=$("$runner" "$dir/velmora-cli.exe" calc 1000 1200 500 500 1100 45.3015 </dev/null)
[ "$got" = "56度57分48秒" ] || { echo "unpacked program gave [$got]"; exit 1; }
echo "zip holds both programs and runs"
