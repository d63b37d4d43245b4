#!/bin/bash
# Installs what building and testing need, skipping what is already there.
# Usage: tools/setup.sh [extra Debian packages...]
set -euo pipefail
need=(cmake ninja-build g++ qt6-base-dev libgl-dev libgtest-dev "$@")
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "== installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq -o DPkg::Lock::Timeout=900
  apt-get install -y -qq -o DPkg::Lock::Timeout=900 --no-install-recommends "${missing[@]}" </dev/null
fi
