#!/usr/bin/env bash
# The Windows velmora-cli (XmlLite) and the native one (expat) read every
# LandXML test file to the same alignment: check's table of each, with 12
# decimals, and the notes and statuses, are identical.
#   same_alignment.sh <native velmora-cli> <windows velmora-cli.exe> <wine-run> <data> <work>
set -uo pipefail
native=$1 windows=$2 wine_run=$3 data=$4 work=$5
[ -x "$native" ] || { echo "the native build's $native is missing: build the native preset first"; exit 1; }
rm -rf "$work"
mkdir -p "$work"
cp "$data"/*.xml "$work"/
cd "$work"
"$wine_run" "$windows" --version >/dev/null </dev/null
status=$?
[ "$status" -eq 77 ] && exit 77

failures=0
compare() {
  local name=$1
  shift
  "$native" "$@" >native.out 2>native.err </dev/null
  local native_status=$?
  "$wine_run" "$windows" "$@" >windows.out 2>windows.err </dev/null
  local windows_status=$?
  tr -d '\r' <windows.out >windows.out.lf
  tr -d '\r' <windows.err >windows.err.lf
  if [ "$native_status" != "$windows_status" ] || ! cmp -s native.out windows.out.lf ||
     ! cmp -s native.err windows.err.lf; then
    echo "FAIL $name: status $native_status (native) and $windows_status (windows)"
    diff native.out windows.out.lf | head -5
    diff native.err windows.err.lf | head -5
    failures=$((failures + 1))
  fi
  [ -s native.out ] || [ "$native_status" = 2 ] || { echo "FAIL $name: no output"; failures=$((failures + 1)); }
}

count=0
for file in *.xml; do
  if [ "$file" = many.xml ]; then
    compare "$file" check --decimals 12 "$file"  # several alignments: the list of names
    for name in "Ramp A" "Ramp C" "Ramp J" "Chained"; do
      compare "$file $name" check --decimals 12 --alignment "$name" "$file"
      count=$((count + 1))
    done
  elif [ "$file" = profiles.xml ]; then
    compare "$file" check --decimals 12 "$file"  # several profiles: the list of names
    for name in "Design A" "Design B"; do
      compare "$file $name" stakeout --every 25 --decimals 12 --profile-name "$name" "$file"
      count=$((count + 1))
    done
  else
    compare "$file" check --decimals 12 "$file"
    count=$((count + 1))
  fi
done
[ "$failures" -eq 0 ] && echo "$count alignments read alike by both parsers"
exit $(( failures > 0 ))
