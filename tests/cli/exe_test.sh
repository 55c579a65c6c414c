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

# The road commands on a file named in Chinese: a straight north, a spiral
# (its points from the clothoid's series, its azimuths l^2 / (2 R L)).
printf 'start,end,start_radius,end_radius,start_azimuth,x,y\r\n0,100,0,0,0,1000,500\r\n100,164,0,100,,,\r\n' >道路.csv
expect check 0 "element,line,kind,start,end,length,start_radius,end_radius,start_azimuth,start_packed,end_azimuth,end_packed,start_x,start_y,end_x,end_y
1,2,straight,K0+000.000,K0+100.000,100.00,0,0,0度0分0秒,0,0度0分0秒,0,1000.00,500.00,1100.00,500.00
2,3,spiral,K0+100.000,K0+164.000,64.00,0,100,0度0分0秒,0,18度20分4.7秒,18.20047,1100.00,500.00,1163.35,506.78" "" \
  check 道路.csv --station-format k --decimals 2
expect stakeout 0 "station,point,x,y,azimuth,packed,x_left_5,y_left_5
0,QD,1000.0000,500.0000,0度0分0秒,0,1000.0000,495.0000
50,,1050.0000,500.0000,0度0分0秒,0,1050.0000,495.0000
100,ZH,1100.0000,500.0000,0度0分0秒,0,1100.0000,495.0000
150,,1149.8096,503.2463,11度11分26.1秒,11.11261,1150.7800,498.3414
164,ZD,1163.3477,506.7769,18度20分4.7秒,18.20047,1164.9206,502.0307" "" \
  stakeout 道路.csv --every 50 --offset -5
expect locate-negative 1 "name,x,y,station,offset,azimuth,packed,element,message
,-1,500,,,,,,before the start of the road" "" locate 道路.csv -1 500
printf '0,100,0,0,0,1000,500\n100,100,0,0\n' >坏.csv
expect bad-element 2 "" "velmora-cli: 坏.csv, line 2: the end 100 is not after the start 100" \
  check 坏.csv
got=$(run locate - 1020 503 <道路.csv 2>&1)
if [ "$got" != "name,x,y,station,offset,azimuth,packed,element,message
,1020,503,20.0000,3.0000,0度0分0秒,0,1," ]; then
  echo "FAIL locate on an element file from standard input: [$got]"
  failures=$((failures + 1))
fi

# A refused element file leaves the output file as it was.
echo kept >out.csv
run stakeout 坏.csv --every 10 -o out.csv >/dev/null 2>&1 </dev/null
if [ "$(cat out.csv)" != kept ]; then
  echo "FAIL a refused element file emptied the output file"
  failures=$((failures + 1))
fi

# A run that fails half-way (its points are a folder, which opens but cannot
# be read on POSIX), a run killed half-way, and a run whose standard input
# is its output file leave the output file byte for byte as it was.
run locate 道路.csv --points . -o out.csv >/dev/null 2>&1 </dev/null
[ $? = 2 ] && [ "$(cat out.csv)" = kept ] && [ -z "$(ls out.csv.* 2>/dev/null)" ] ||
  { echo "FAIL a failed run changed the output file: [$(cat out.csv)] $(ls out.csv.*)"; failures=$((failures + 1)); }
printf '0,1000000,0,0,0,0,0\n' >长.csv
run stakeout 长.csv --every 0.2 -o out.csv >/dev/null 2>&1 </dev/null &
pid=$!
for _ in $(seq 300); do
  [ -n "$(find . -name 'out.csv.*' -size +100k 2>/dev/null)" ] && break
  sleep 0.1
done
written=$(find . -name 'out.csv.*' -size +100k)
kill -9 "$pid"
wait "$pid" 2>/dev/null
[ -n "$written" ] && [ "$(cat out.csv)" = kept ] ||
  { echo "FAIL a run killed half-way [$written] changed the output file: [$(head -c 80 out.csv)]"; failures=$((failures + 1)); }
rm -f out.csv.*
printf '1020,503\n' >pts.csv
got=$(run locate 道路.csv --points - -o pts.csv <pts.csv 2>&1)
[ $? = 2 ] && [ "$(cat pts.csv)" = 1020,503 ] && [ "$got" = 'velmora-cli: the output file "pts.csv" is standard input: the run would replace the file it reads; name another with -o' ] ||
  { echo "FAIL locate with its points on standard input from the output file: [$got] [$(cat pts.csv)]"; failures=$((failures + 1)); }

# Points through a pipe, written in pieces: a line of exactly 65536 bytes
# whose CR and LF come in separate writes, then one more point.
name=$(head -c 65526 /dev/zero | tr '\0' 'P')
got=$({
  printf 'name,x,y\r\n'
  printf '%s' "$name"
  printf ',1050,499\r'
  printf '\nR,1164,490\r\n'
} | run locate 道路.csv --points - 2>&1)
status=$?
if [ "$status" != 0 ] || [ "$(printf '%s\n' "$got" | wc -l)" != 3 ] ||
  [ "$(printf '%s\n' "$got" | sed -n 2p)" != "$name,1050,499,50.0000,-1.0000,0度0分0秒,0,1," ]; then
  echo "FAIL locate of points through a pipe: status $status, [$(printf '%s' "$got" | cut -c 65500-)]"
  failures=$((failures + 1))
fi

run --frob >/dev/null 2>&1 </dev/null
[ $? = 2 ] || { echo "FAIL an unknown option is not status 2"; failures=$((failures + 1)); }

[ "$failures" = 0 ] && echo "all passed"
exit "$failures"
