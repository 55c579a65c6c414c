#!/usr/bin/env bash
# The picture as a real renderer draws it: velmora-cli plot's SVG rendered by
# rsvg-convert (librsvg) to PNG, read back as pixels (netpbm), and the centre
# line found at the points stakeout computes, in the colour of its element's
# kind; beside the line, where nothing is drawn, white.
#   render_test.sh <velmora-cli> <work folder>
set -uo pipefail
exe=$1 work=$2
rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1
for tool in rsvg-convert pngtopnm pnmtoplainpnm; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (scripts/setup)"; exit 1; }
done

# Straight, spiral, arc right, spiral, straight, spiral, arc left, spiral,
# straight, with a zone-prefixed easting.
cat >road.csv <<'CSV'
start,end,start_radius,end_radius,start_azimuth,x,y
0,120,0,0,62.1530,4512345.678,39498765.432
120,200,0,250,,,
200,330,250,250,,,
330,410,250,0,,,
410,520,0,0,,,
520,580,0,-180,,,
580,700,-180,-180,,,
700,760,-180,0,,,
760,900,0,0,,,
CSV

# No ticks but the one at the start: nothing black across the line between
# boundaries.
"$exe" plot road.csv --every 100000 --size 1200x900 -o road.svg || { echo "FAIL: plot"; exit 1; }
rsvg-convert -f png -o road.png road.svg || { echo "FAIL: rsvg-convert refused the SVG"; exit 1; }
pngtopnm road.png | pnmtoplainpnm >road.ppm || { echo "FAIL: the PNG cannot be read"; exit 1; }

# The picture's frame: x = ox + (easting - east) * s, y = oy + (north - northing) * s.
read -r east north ox oy scale < <(sed -n 's/.*data-velmora-frame="\([^"]*\)".*/\1/p' road.svg)
[ -n "${scale:-}" ] || { echo "FAIL: no frame in the SVG"; exit 1; }
# 25 pixels to the right of the line, in length units.
side=$(awk -v s="$scale" 'BEGIN { printf "%.6f", 25 / s }')

"$exe" check road.csv >elements.csv || { echo "FAIL: check"; exit 1; }
"$exe" stakeout road.csv --every 3 --offset "$side" --decimals 6 >points.csv || {
  echo "FAIL: stakeout"
  exit 1
}

# Reads the element kinds, the points and then the pixels (P3: width,
# height, 255, then red green blue for each pixel, row by row); keeps only
# the pixels round each point.
awk -F, -v east="$east" -v north="$north" -v ox="$ox" -v oy="$oy" -v s="$scale" '
  function colour_of(kind) {
    return kind == "straight" ? "31 95 191" : kind == "arc" ? "214 39 40" : "44 160 44"
  }
  FILENAME == "elements.csv" && FNR > 1 { start[++elements] = $4; end[elements] = $5; kind[elements] = $3; next }
  FILENAME == "points.csv" && FNR > 1 {
    # Clear of the boundaries: their marks are drawn over the line.
    for (e = 1; e <= elements; e++) if ($1 + 0 >= start[e] && $1 + 0 <= end[e]) break
    if (($1 - start[e]) * s < 8 || (end[e] - $1) * s < 8) next
    n++
    want[n] = colour_of(kind[e]); station[n] = $1
    # The pixel that holds the point: pixel (i, j) covers x from i to i + 1.
    px[n] = int(ox + ($4 - east) * s); py[n] = int(oy + (north - $3) * s)
    qx[n] = int(ox + ($8 - east) * s); qy[n] = int(oy + (north - $7) * s)
    for (dx = -1; dx <= 1; dx++) for (dy = -1; dy <= 1; dy++) {
      needed[(px[n] + dx) "," (py[n] + dy)] = 1
      needed[(qx[n] + dx) "," (qy[n] + dy)] = 1
    }
    next
  }
  FILENAME == "road.ppm" {
    fields = split($0, field, " ")
    for (f = 1; f <= fields; f++) {
      if (field[f] ~ /^#/) break
      if (header < 4) { h[++header] = field[f]; if (header == 4) width = h[2]; continue }
      channel[k % 3] = field[f]
      if (k % 3 == 2) {
        p = int(k / 3); x = p % width; y = int(p / width)
        if ((x "," y) in needed) pixel[x "," y] = channel[0] " " channel[1] " " channel[2]
      }
      k++
    }
  }
  END {
    if (n < 200) { print "FAIL: only " n " points"; exit 1 }
    if (k != 3 * h[2] * h[3]) { print "FAIL: the image has " k " values"; exit 1 }
    for (i = 1; i <= n; i++) {
      # On the line: the pixel that holds the point is within 40 of its
      # kind colour (the line is 3 pixels wide, so a line 1.5 pixels off
      # leaves it blended with the white).
      split(want[i], c, " ")
      split(pixel[px[i] "," py[i]], v, " ")
      best = sqrt((v[1] - c[1]) ^ 2 + (v[2] - c[2]) ^ 2 + (v[3] - c[3]) ^ 2)
      white = 1
      for (dx = -1; dx <= 1; dx++) for (dy = -1; dy <= 1; dy++) {
        split(pixel[(qx[i] + dx) "," (qy[i] + dy)], w, " ")
        if (w[1] < 250 || w[2] < 250 || w[3] < 250) white = 0
      }
      if (best > 40) { print "FAIL: station " station[i] ": no " want[i] " pixel at " px[i] "," py[i]; bad++ }
      if (!white) { print "FAIL: station " station[i] ": drawn beside the line at " qx[i] "," qy[i]; bad++ }
    }
    if (bad) exit 1
    print n " points on the line, each in its kind colour, white 25 pixels beside it"
  }
' elements.csv points.csv road.ppm
