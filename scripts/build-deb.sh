#!/usr/bin/env bash
# Builds the Debian package: configures build/deb for the prefix /usr
# (optimised, without the tests), builds it, runs CPack and prints the
# package's path. Install it with: sudo apt install ./build/deb/pellix_*.deb
# Usage: scripts/build-deb.sh
set -euo pipefail
cd "$(dirname "$0")/.."

# dpkg-dev and file: CPack's dependency computation (dpkg-shlibdeps).
scripts/install-deps.sh dpkg-dev file
dir=build/deb
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DPELLIX_BUILD_TESTS=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)"
(cd "$dir" && cpack -G DEB >/dev/null)
ls "$dir"/pellix_*.deb
