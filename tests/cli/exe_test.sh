#!/usr/bin/env bash
# The real velmora-cli, under Wine in a Windows build: answers on standard
# output, prompts on standard error, exit statuses, Chinese in arguments and
# file names, standard input, and the table of a spiral.
#   exe_test.sh <runner or ""> <velmora-cli> <work folder>
set -uo pipefail
runner=$1 exe=$2 work=$3
rm -rf "$work"
mkdir -p "$work"
cd "$work"

run() {
  if [ -n "$runner" ]; then "$runner" "$exe" "$@"; else "$exe" "$@"; fi
}

# Under Wine, a build this host cannot run is skipped (wine-run says why).
if [ -n "$runner" ]; then
  "$runner" "$exe" --version >/dev/null </dev/null
  status=$?
  [ "$status" -eq 77 ] && exit 77
fi

failures=0
# expect <name> <status> <stdout> <stderr> <arguments...>
expect() {
  local name=$1 status=$2 out=$3 err=$4
  shift 4
  local got_out got_status got_err
  got_out=$(run "$@" 2>stderr.txt </dev/null)
  got_status=$?
  got_err=$(cat stderr.txt)
  if [ "$got_status" != "$status" ] || [ "$got_out" != "$out" ] || [ "$got_err" != "$err" ]; then
    echo "FAIL $name: status $got_status (want $status)"
    echo "  stdout [$got_out] want [$out]"
    echo "  stderr [$got_err] want [$err]"
    failures=$((failures + 1))
  fi
}

expect worked 0 "56度57分48秒" "" calc 1000 1200 500 500 1100 45.3015
expect after-end 1 "" "计算点桩号不能大于终点桩号，请重新输入。" calc 0 100 0 200 101 0
expect minus-texts 1 "" "角度输入有误，请重新输入。" calc -- 0 100 -500 -500 50 -45.75
expect chinese-argument 2 "" "起点桩号不是数字：\"一二\"" calc 一二 100 0 0 50 0
expect silent-radius 1 "" "起点半径不是数字。" calc 0 100 - 0 50 0
expect version 0 "velmora-cli 1.00" "" --version
expect spiral 0 "station,azimuth,packed
0,45度30分15秒,45.3015
32,50度5分16.2秒,50.05162
64,63度50分19.7秒,63.50197" "" table --start 0 --end 64 --start-radius 0 --end-radius 100 \
  --start-azimuth 45.3015 --every 32

# Standard input, and a file named in Chinese.
printf 'start,end,start_radius,end_radius,point,start_azimuth\r\n0,100,0,200,50,0\r\n' >点.csv
got=$(printf '0,100,0,200,50,0\n0,100,0,200,150,0\n' | run csv 2>/dev/null)
status=$?
want="0,100,0,200,50,0,3度34分51.6秒,
0,100,0,200,150,0,,计算点桩号不能大于终点桩号，请重新输入。"
if [ "$status" != 1 ] || [ "$got" != "$want" ]; then
  echo "FAIL csv from standard input: status $status, got [$got]"
  failures=$((failures + 1))
fi
if ! run csv --bom -o 结果.csv 点.csv </dev/null || [ "$(cat 结果.csv)" != $'\xEF\xBB\xBFstart,end,start_radius,end_radius,point,start_azimuth,azimuth,message\r\n0,100,0,200,50,0,3度34分51.6秒,\r' ]; then
  echo "FAIL csv between files named in Chinese: [$(cat 结果.csv 2>&1)]"
  failures=$((failures + 1))
fi

run --frob >/dev/null 2>&1 </dev/null
[ $? = 2 ] || { echo "FAIL an unknown option is not status 2"; failures=$((failures + 1)); }

[ "$failures" = 0 ] && echo "all passed"
exit "$failures"
