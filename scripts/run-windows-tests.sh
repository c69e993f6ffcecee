#!/usr/bin/env bash
# Cross-builds the suite for 32-bit Windows and runs it under Wine, in a Wine
# prefix of the build's own. Exits 0 with a clear message when mingw-w64 or
# Wine cannot be installed.
set -euo pipefail
cd "$(dirname "$0")/.."

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
export DEBIAN_FRONTEND=noninteractive

# Wine's 32-bit side comes from the i386 architecture.
if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed" ||
   ! command -v wine >/dev/null; then
  echo "installing Wine (wine, wine32:i386)" >&2
  if ! { $SUDO dpkg --add-architecture i386 &&
         $SUDO apt-get update -qq &&
         $SUDO apt-get install -y -qq --no-install-recommends wine wine32:i386 >/dev/null; }; then
    echo "Windows stage SKIPPED: could not install Wine" >&2
    exit 0
  fi
fi

# The Linux tool the Windows one is compared with: the optimised build's when
# the test command made it, else one built here.
linux_build=${PELLIX_LINUX_BUILD_DIR:-build/release}
if [ ! -x "$linux_build/bin/pellix-convert" ]; then
  scripts/install-deps.sh >/dev/null
  cmake -S . -B "$linux_build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$linux_build" -j "$(nproc)" --target pellix-convert pellix_color_transform >/dev/null
fi

dir=build/windows-i686
status=0
PELLIX_WINDOWS_BUILD_DIR=$dir scripts/build-windows.sh i686 -DPELLIX_BUILD_TESTS=ON \
  -DPELLIX_LINUX_TOOL="$PWD/$linux_build/bin/pellix-convert" || status=$?
if [ "$status" -eq 3 ]; then
  echo "Windows stage SKIPPED: the mingw-w64 cross compiler could not be installed" >&2
  exit 0
fi
[ "$status" -eq 0 ] || exit "$status"

export WINEPREFIX=$PWD/$dir/wineprefix WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "creating the Wine prefix $WINEPREFIX (once)" >&2
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
# One Wine server for the whole run: a server that ends when its last
# program does can race with the next program starting.
# Started once before the suite, so that the tests do not race each other
# through Wine's own start-up (its services start with the first program).
wineserver -p 2>/dev/null || true  # (one may run already in this prefix)
trap 'wineserver -k' EXIT
wine cmd /c exit >/dev/null 2>&1 || true
(cd "$dir" && ctest --output-on-failure -j "$(nproc)")
echo "Windows suite passed under Wine"
