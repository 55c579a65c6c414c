#!/usr/bin/env bash
# The 32-bit exe's arithmetic must agree with the native build's to the bit:
# both run the same generated cases and their outputs must be identical.
set -euo pipefail
native=$1 win32=$2 wine_run=$3 cases_count=${4:-20000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[ -x "$native" ] || { echo "the native build's $native is missing: build the native preset first"; exit 1; }
"$native" generate "$cases_count" 20261208 > "$work/cases"
"$native" run < "$work/cases" > "$work/native"
"$wine_run" "$win32" run < "$work/cases" > "$work/win32"
lines=$(wc -l < "$work/native")
if [ "$lines" -ne "$cases_count" ]; then
  echo "expected $cases_count results, got $lines"; exit 1
fi
if ! cmp -s "$work/native" "$work/win32"; then
  echo "the builds disagree; first differences (case, native, 32-bit):"
  diff "$work/native" "$work/win32" | head -20
  exit 1
fi
echo "$cases_count cases agree to the bit; the command wrote a result for $(grep -c $'\t\[[^]]' "$work/native") of them"
