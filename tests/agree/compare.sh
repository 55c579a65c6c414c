#!/usr/bin/env bash
# The Windows exe's arithmetic (either bitness) must agree with the native
# build's to the bit:
# both run the same generated cases and their outputs must be identical.
set -euo pipefail
native=$1 windows=$2 wine_run=$3 cases_count=${4:-20000}
# The cases and both outputs stay in the build folder for a closer look.
work=$PWD/agree-work
rm -rf "$work"
mkdir -p "$work"
[ -x "$native" ] || { echo "the native build's $native is missing: build the native preset first"; exit 1; }
"$native" generate "$cases_count" 20261208 > "$work/cases"
"$native" run < "$work/cases" > "$work/native"
status=0
"$wine_run" "$windows" run < "$work/cases" > "$work/windows" || status=$?
[ "$status" -eq 0 ] || exit "$status"  # 77: this host cannot run that build
lines=$(wc -l < "$work/native")
if [ "$lines" -ne "$cases_count" ]; then
  echo "expected $cases_count results, got $lines"; exit 1
fi
if ! cmp -s "$work/native" "$work/windows"; then
  differing=$(paste -d $'\x01' "$work/native" "$work/windows" | awk -F$'\x01' '$1 != $2' | wc -l)
  echo "the builds disagree on $differing of $cases_count cases"
  # The first five cases that differ: the fields typed, then each build's line.
  paste -d $'\x01' "$work/cases" "$work/native" "$work/windows" |
    awk -F$'\x01' '$2 != $3 { n++; printf "case %d: %s\n  native: %s\n  windows: %s\n", NR, $1, $2, $3 }
                   n == 5 { exit }'
  exit 1
fi
echo "$cases_count cases agree to the bit; the command wrote a result for $(grep -c $'\t\[[^]]' "$work/native") of them"
