#!/usr/bin/env bash
# Builds the Debian package axona_<version>_<arch>.deb into build-deb/ (or the folder given as $1)
# from a Release build installed under /usr, without the tests and the benchmark. Install it with
#   sudo apt-get install ./build-deb/axona_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
dir=${1:-build-deb}
scripts/build.sh "$dir" -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF -DBUILD_BENCH=OFF
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(ls "$dir"/axona_*.deb)
dpkg-deb --info "$deb" | sed -n 's/^ \(Package\|Version\|Architecture\|Depends\|Recommends\):/\1:/p'
echo "$deb"
