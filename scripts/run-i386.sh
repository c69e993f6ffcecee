#!/usr/bin/env bash
# Builds the plug-in, pellix-convert and the tests as a 32-bit x86 program
# and runs the suite: natively where the kernel runs 32-bit programs, so the
# wide tiers meet the real processor, under qemu-i386 otherwise. Then the
# end-to-end pairs and pellix-convert --info under qemu-i386's CPU models.
# Exits 0 with a clear message when the 32-bit toolchain cannot be installed.
set -euo pipefail
cd "$(dirname "$0")/.."

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
export DEBIAN_FRONTEND=noninteractive

packages=(crossbuild-essential-i386 libboost-thread-dev:i386 libgtest-dev:i386 libgmock-dev:i386 libpng-dev:i386
  qemu-user)
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

# Whether this kernel executes a 32-bit program.
native=OFF
probe=$(mktemp -d)
echo 'int main() { return 0; }' >"$probe/probe.c"
if i686-linux-gnu-gcc "$probe/probe.c" -o "$probe/probe" 2>/dev/null && "$probe/probe" 2>/dev/null; then native=ON; fi
rm -rf "$probe"
if [[ $native == ON ]]; then
  echo "32-bit programs run natively: the suite meets this processor's own tiers"
else
  echo "32-bit programs run under qemu-i386: the suite meets qemu's processor model"
fi

dir=build/i386
cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686.cmake -DCMAKE_BUILD_TYPE=Release \
  -DPELLIX_BUILD_TESTS=ON -DPELLIX_BUILD_TOOLS=ON -DPELLIX_I386_NATIVE=$native >/dev/null
cmake --build "$dir" -j "$(nproc)"
# The exhaustive sweeps on every 64th input: their arithmetic is the 64-bit
# build's, checked in full there; this build is about its own code paths.
(cd "$dir" && PELLIX_EXHAUSTIVE_SAMPLE=${PELLIX_EXHAUSTIVE_SAMPLE:-64} ctest --output-on-failure -j "$(nproc)")

# The routine choice and the bytes of the 32-bit build on processors this
# machine is not (Haswell's must name the AVX2 variants).
scripts/run-cpu-models.sh "$dir" qemu-i386
echo "32-bit x86 suite passed"
