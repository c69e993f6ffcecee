#!/usr/bin/env bash
# Builds the plug-in and its tests as a 32-bit x86 program and runs the
# suite (under qemu-i386 where the kernel cannot run 32-bit binaries).
# Exits 0 with a clear message when the 32-bit toolchain cannot be installed.
set -euo pipefail
cd "$(dirname "$0")/.."

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
export DEBIAN_FRONTEND=noninteractive

packages=(crossbuild-essential-i386 libboost-thread-dev:i386 libgtest-dev:i386 libgmock-dev:i386 qemu-user)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing for the 32-bit build: ${missing[*]}" >&2
  if ! { $SUDO dpkg --add-architecture i386 &&
         $SUDO apt-get update -qq &&
         $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; }; then
    echo "32-bit x86 build SKIPPED: could not install ${missing[*]}" >&2
    exit 0
  fi
fi

dir=build/i386
cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686.cmake -DCMAKE_BUILD_TYPE=Release \
  -DPELLIX_BUILD_TESTS=ON -DPELLIX_BUILD_TOOLS=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)"
(cd "$dir" && ctest --output-on-failure -j "$(nproc)")
echo "32-bit x86 suite passed"
