#!/usr/bin/env bash
# Cross-builds the plug-in DLL, pellix-convert.exe and the Windows test
# programs with Debian's mingw-w64 compilers (posix thread model), installing
# what is missing.
# Usage: scripts/build-windows.sh [i686|x86_64] [extra cmake arguments...]
# Builds into build/windows-<arch> (PELLIX_WINDOWS_BUILD_DIR overrides).
# Exits 3 when the cross compiler cannot be installed.
set -euo pipefail
cd "$(dirname "$0")/.."

arch=${1:-i686}
shift || true
case "$arch" in
  i686) compiler_package=g++-mingw-w64-i686-posix ;;
  x86_64) compiler_package=g++-mingw-w64-x86-64-posix ;;
  *) echo "usage: $0 [i686|x86_64] [cmake arguments...]" >&2; exit 2 ;;
esac

# Boost and GoogleTest come as headers and sources, compiled by the cross
# compiler; nothing of the build machine's libraries is linked.
packages=(cmake make "$compiler_package" libboost-thread-dev libgtest-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing for the Windows build: ${missing[*]}" >&2
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
  export DEBIAN_FRONTEND=noninteractive
  if ! { $SUDO apt-get update -qq &&
         $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; }; then
    echo "Windows build impossible: could not install ${missing[*]}" >&2
    exit 3
  fi
fi

dir=${PELLIX_WINDOWS_BUILD_DIR:-build/windows-$arch}
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-$arch.cmake -DCMAKE_BUILD_TYPE=Release \
  "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
echo "Windows $arch build: $dir/lib/pellix/pellix_color_transform.dll, $dir/bin/pellix-convert.exe"
