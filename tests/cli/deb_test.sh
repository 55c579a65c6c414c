#!/usr/bin/env bash
# Makes the Debian package from the build, unpacks it into a scratch root
# and runs the program and its manual page from there.
#   deb_test.sh <build folder> <work folder> <version>
set -euo pipefail
build=$1 work=$2 version=$3
rm -rf "$work"
mkdir -p "$work"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log"
deb=$work/out/velmora-cli_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "no $deb"; ls "$work/out"; exit 1; }

[ "$(dpkg-deb -f "$deb" Package)" = velmora-cli ]
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ]
listing=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$')
[ "$listing" = "./usr/bin/velmora-cli
./usr/share/man/man1/velmora-cli.1.gz" ] || { echo "unexpected contents: $listing"; exit 1; }

dpkg-deb -x "$deb" "$work/root"
got=$("$work/root/usr/bin/velmora-cli" calc 1000 1200 500 500 1100 45.3015)
[ "$got" = "56度57分48秒" ] || { echo "installed program gave [$got]"; exit 1; }
gzip -dc "$work/root/usr/share/man/man1/velmora-cli.1.gz" | grep -q '^\.TH VELMORA-CLI 1'
echo "deb installs and runs"
