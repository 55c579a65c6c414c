#!/usr/bin/env bash
# The 32-bit exe's arithmetic must agree with the native build's to the bit:
# both run the same generated cases and their outputs must be identical.
set -euo pipefail
native=$1 win32=$2 wine_run=$3 cases_count=${4:-20000}
# The cases and both outputs stay in the build folder for a closer look.
work=$PWD/agree-work
rm -rf "$work"
mkdir -p "$work"
[ -x "$native" ] || { echo "the native build's $native is missing: build the native preset first"; exit 1; }
"$native" generate "$cases_count" 20261208 > "$work/cases"
"$native" run < "$work/cases" > "$work/native"
"$wine_run" "$win32" run < "$work/cases" > "$work/win32"
lines=$(wc -l < "$work/native")
if [ "$lines" -ne "$cases_count" ]; then
  echo "expected $cases_count results, got $lines"; exit 1
fi
if ! cmp -s "$work/native" "$work/win32"; then
  differing=$(paste -d $'\x01' "$work/native" "$work/win32" | awk -F$'\x01' '$1 != $2' | wc -l)
  echo "the builds disagree on $differing of $cases_count cases"
  # The first five cases that differ: the fields typed, then each build's line.
  paste -d $'\x01' "$work/cases" "$work/native" "$work/win32" |
    awk -F$'\x01' '$2 != $3 { n++; printf "case %d: %s\n  native: %s\n  32-bit: %s\n", NR, $1, $2, $3 }
                   n == 5 { exit }'
  exit 1
fi
echo "$cases_count cases agree to the bit; the command wrote a result for $(grep -c $'\t\[[^]]' "$work/native") of them"
