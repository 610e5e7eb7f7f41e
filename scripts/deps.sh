#!/usr/bin/env bash
# Installs with apt-get whatever the build and the tests need and is missing (Debian 12, as root).
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-translations-l10n libgl-dev
          mdbtools mdbtools-dev libsqlite3-dev libgtest-dev fonts-liberation poppler-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installo: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi
