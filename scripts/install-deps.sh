#!/usr/bin/env bash
# Installs the Debian packages a build needs, only those that are missing.
# Usage: scripts/install-deps.sh [extra-package ...]
set -euo pipefail

packages=(g++ cmake make pkg-config libboost-thread-dev libgtest-dev libgmock-dev libpng-dev "$@")
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}" >&2
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
